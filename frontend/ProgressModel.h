#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/View.h"
#include "seams/Clock.h"

// How far a block transfer has come and how fast it goes.
struct TransferPace {
  double fraction = 0;                // 0 to 1
  double bytesPerSecond = 0;          // 0 until some time has passed
  std::optional<double> secondsLeft;  // none until there is a rate
};

TransferPace MeasurePace(std::uint32_t done, std::uint32_t total, double elapsedSeconds);
// "m:ss", or "--:--" while the rate is not known.
std::string TimeLeftText(const TransferPace& pace);

// What a window's progress bar and taskbar button show of a transfer.
struct ProgressFigures {
  bool running = false;  // a transfer is under way: the bar shows
  bool failed = false;   // the last transfer broke off before its last block
  int percent = 0;
  std::string text;  // the transfer, its percentage, rate and time left
};

// The progress of Program UPS and Verify Program for both windows, from the
// transfer's reports and the clock.
class CProgressModel {
 public:
  explicit CProgressModel(IClock& clock) : clock_(clock) {}

  // done == total ends the transfer.
  const ProgressFigures& Update(TransferKind kind, std::uint32_t done, std::uint32_t total);
  // A command begins: nothing runs and nothing has failed yet.
  const ProgressFigures& CommandStarted();
  // A command ended: a transfer that never reported its end broke off.
  const ProgressFigures& CommandEnded();
  const ProgressFigures& Figures() const { return figures_; }

 private:
  IClock& clock_;
  std::int64_t startMs_ = 0;
  ProgressFigures figures_;
};
