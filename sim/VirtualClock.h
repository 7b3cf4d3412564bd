#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

#include "seams/Clock.h"

// Simulated time for tests: a sleep or a poll advances the clock at once,
// running every event that falls due on the way on the caller's thread (the
// simulated line's receive pump among them), so runs are repeatable.
class CVirtualClock final : public IClock {
 public:
  using Event = std::function<void()>;

  void SleepMs(int ms) override;
  std::int64_t NowMs() override { return now_.load(); }
  std::int64_t WallSeconds() override { return kWallEpochSeconds + now_.load() / 1000; }
  void WaitFor(int ms, CSignal& signal, const std::function<bool()>& changed) override;

  // Runs fn once simulated time reaches atMs (at the next step if already past).
  void Schedule(std::int64_t atMs, Event fn);
  // Advances to atMs, running due events (for tests that drive the clock).
  void AdvanceTo(std::int64_t atMs);

 private:
  static constexpr std::int64_t kWallEpochSeconds = 1'800'000'000;

  void Run(std::int64_t deadline, const std::function<bool()>* stop);
  bool PopDue(std::int64_t deadline, Event& event);

  std::mutex mutex_;
  std::multimap<std::int64_t, Event> events_;
  std::atomic<std::int64_t> now_{0};
};
