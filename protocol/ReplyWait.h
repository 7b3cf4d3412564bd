#pragma once

#include <functional>

#include "protocol/ReceiveState.h"
#include "seams/Clock.h"

// The length of one poll, the time resolution of every reply time-out.
inline constexpr int kPollMs = 10;

// Polls while the receive mode is still `mode`, at most `polls` times, and
// stops before a poll once giveUp() holds (a device gone, an interrupt). One
// poll waits up to kPollMs, ending early when the mode changes, then pumps
// the user interface. True when the mode changed (a reply or a string came).
bool PollWhileMode(CReceiveState& rx, IClock& clock, const std::function<void()>& pump,
                   const std::function<bool()>& giveUp, int mode, int polls);

// Reply-wait allowance in polls by submodule route length.
inline int AllowanceByRoute(int routeLength) {
  if (routeLength <= 1) return 800;
  if (routeLength == 2) return 1600;
  return 2000;
}
