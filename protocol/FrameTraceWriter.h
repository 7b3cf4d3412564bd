#pragma once

#include <fstream>
#include <mutex>
#include <ostream>
#include <string>

#include "seams/Clock.h"
#include "seams/FrameTrace.h"

// Writes the trace as text, one line per event, milliseconds counted from
// the moment the trace was opened:
//       0 ms TX AB 01 A0 B4
//      12 ms RX AB 09 01 81 31 99
//     250 ms LINE 19200 baud 8 data bits
//    8012 ms PART AB 09 01          (stored, no frame end when the wait ended)
//    8030 ms DROP 81 31 99          (arrived while nothing waited)
// Each line is flushed as it is written, so a trace of a run that dies is
// complete up to its last event. While closed, events are dropped.
class CFrameTraceWriter final : public IFrameTrace {
 public:
  explicit CFrameTraceWriter(IClock& clock) : clock_(clock) {}

  // "-" is stderr. False when the file cannot be created.
  bool Open(const std::string& path);
  void Open(std::ostream& out);
  void Close();
  bool IsOpen() const;

  void Frame(TraceDirection direction, const std::uint8_t* bytes, std::size_t count) override;
  void LineSpeed(std::uint32_t baud, int dataBits) override;

 private:
  void WriteLine(const std::string& event);

  IClock& clock_;
  mutable std::mutex mutex_;  // frames come from two threads
  std::ofstream file_;
  std::ostream* out_ = nullptr;
  std::int64_t startMs_ = 0;
};
