#include "sim/VirtualClock.h"

void CVirtualClock::SleepMs(int ms) {
  Run(now_.load() + ms, nullptr);
}

void CVirtualClock::WaitFor(int ms, CSignal&, const std::function<bool()>& changed) {
  Run(now_.load() + ms, &changed);
}

void CVirtualClock::AdvanceTo(std::int64_t atMs) {
  Run(atMs, nullptr);
}

void CVirtualClock::Schedule(std::int64_t atMs, Event fn) {
  std::lock_guard lock(mutex_);
  events_.emplace(atMs, std::move(fn));
}

bool CVirtualClock::PopDue(std::int64_t deadline, Event& event) {
  std::lock_guard lock(mutex_);
  auto it = events_.begin();
  if (it == events_.end() || it->first > deadline) return false;
  if (it->first > now_.load()) now_.store(it->first);
  event = std::move(it->second);
  events_.erase(it);
  return true;
}

void CVirtualClock::Run(std::int64_t deadline, const std::function<bool()>* stop) {
  for (;;) {
    if (stop && (*stop)()) return;
    Event event;
    if (!PopDue(deadline, event)) break;
    event();
  }
  if (deadline > now_.load()) now_.store(deadline);
}
