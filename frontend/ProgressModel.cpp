#include "frontend/ProgressModel.h"

#include <cmath>

#include "resources/Strings.h"

TransferPace MeasurePace(std::uint32_t done, std::uint32_t total, double elapsedSeconds) {
  TransferPace pace;
  pace.fraction = total == 0 ? 1.0 : static_cast<double>(done) / total;
  if (elapsedSeconds > 0) pace.bytesPerSecond = done / elapsedSeconds;
  if (pace.bytesPerSecond > 0 && done <= total) pace.secondsLeft = (total - done) / pace.bytesPerSecond;
  return pace;
}

std::string TimeLeftText(const TransferPace& pace) {
  if (!pace.secondsLeft) return Text(kStrCliTimeLeftUnknown);
  const long s = static_cast<long>(*pace.secondsLeft + 0.5);
  return Format(kStrCliTimeLeft, {s / 60, s % 60});
}

const ProgressFigures& CProgressModel::Update(TransferKind kind, std::uint32_t done, std::uint32_t total) {
  if (total == 0 || done >= total) {
    figures_.running = false;
    figures_.percent = 100;
    return figures_;
  }
  const std::int64_t now = clock_.NowMs();
  // Verify Program after Program UPS is a transfer of its own.
  if (done == 0 || !figures_.running) startMs_ = now;
  const TransferPace pace = MeasurePace(done, total, static_cast<double>(now - startMs_) / 1000.0);
  figures_.running = true;
  figures_.failed = false;
  figures_.percent = static_cast<int>(pace.fraction * 100);
  // Rounded as the command line's bar rounds it.
  const auto rate = static_cast<unsigned long long>(std::nearbyint(pace.bytesPerSecond));
  figures_.text = Format(kStrWindowProgress,
                         {Text(kind == TransferKind::Programming ? kStrCliProgramming : kStrCliVerifying),
                          figures_.percent, rate, TimeLeftText(pace)});
  return figures_;
}

const ProgressFigures& CProgressModel::CommandStarted() {
  figures_ = {};
  return figures_;
}

const ProgressFigures& CProgressModel::CommandEnded() {
  figures_.failed = figures_.running;
  figures_.running = false;
  return figures_;
}
