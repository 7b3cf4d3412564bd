#include "protocol/ReplyWait.h"

bool PollWhileMode(CReceiveState& rx, IClock& clock, const std::function<void()>& pump,
                   const std::function<bool()>& giveUp, int mode, int polls) {
  const auto changed = [&rx, mode] { return rx.ReceiveMode() != mode; };
  for (int i = 0; i < polls && !changed() && !(giveUp && giveUp()); ++i) {
    clock.WaitFor(kPollMs, rx.ModeChanged(), changed);
    if (pump) pump();
  }
  return changed();
}
