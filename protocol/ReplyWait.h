#pragma once

#include <functional>

#include "protocol/Clock.h"
#include "protocol/ReceiveState.h"

// The length of one poll, the time resolution of every reply time-out.
inline constexpr int kPollMs = 10;

// Polls while the receive mode is still `mode`, at most `polls` times. One
// poll waits up to kPollMs, ending early when the mode changes, then pumps
// the user interface. True when the mode changed (a reply or a string came).
bool PollWhileMode(CReceiveState& rx, IClock& clock, const std::function<void()>& pump, int mode, int polls);
