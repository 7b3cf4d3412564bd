#include "seams/Clock.h"

#include <thread>

void CSignal::Notify() {
  {
    std::lock_guard lock(mutex_);
    ++generation_;
  }
  cv_.notify_all();
}

bool CSignal::WaitFor(std::chrono::milliseconds timeout, const std::function<bool()>& changed) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::unique_lock lock(mutex_);
  while (!changed()) {
    const std::uint64_t seen = generation_;
    if (!cv_.wait_until(lock, deadline, [&] { return generation_ != seen; })) return changed();
  }
  return true;
}

void CSystemClock::SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::int64_t CSystemClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t CSystemClock::WallSeconds() {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

void CSystemClock::WaitFor(int ms, CSignal& signal, const std::function<bool()>& changed) {
  signal.WaitFor(std::chrono::milliseconds(ms), changed);
}
