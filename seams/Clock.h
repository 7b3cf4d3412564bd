#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

// Wakes waiters when something they wait for may have changed (the receive
// mode, for one). Waiters re-check their own condition; a notify carries no data.
class CSignal {
 public:
  void Notify();
  // Waits until changed() is true or the time is up; true when changed() held.
  bool WaitFor(std::chrono::milliseconds timeout, const std::function<bool()>& changed);

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::uint64_t generation_ = 0;
};

// Every pause and every poll goes through this seam, so tests run the
// protocol's long time-outs in simulated time.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual void SleepMs(int ms) = 0;
  // Monotonic milliseconds.
  virtual std::int64_t NowMs() = 0;
  // Wall-clock whole seconds, for the elapsed-time lines.
  virtual std::int64_t WallSeconds() = 0;
  // Waits at most ms, ending early once changed() is true. `signal` is
  // notified whenever changed() may have become true.
  virtual void WaitFor(int ms, CSignal& signal, const std::function<bool()>& changed) = 0;
};

class CSystemClock final : public IClock {
 public:
  void SleepMs(int ms) override;
  std::int64_t NowMs() override;
  std::int64_t WallSeconds() override;
  void WaitFor(int ms, CSignal& signal, const std::function<bool()>& changed) override;
};
