#pragma once

#include <cstdint>

#include "seams/Clock.h"
#include "serial/NetworkFailure.h"
#include "serial/PortError.h"

// Tries the addresses a host resolved to in turn (a list linked by ai_next,
// as POSIX and Winsock both give it), each within what is left of timeoutMs,
// until one connects. connectOne(address, leftMs) is the platform's attempt.
// Otherwise the last failure, or NoAnswer when the time ran out before any
// address was tried.
template <typename Address, typename ConnectOne>
PortError ConnectWithin(IClock& clock, int timeoutMs, const Address* first, ConnectOne connectOne) {
  const std::int64_t deadline = clock.NowMs() + timeoutMs;
  PortError error;
  for (const Address* address = first; address != nullptr; address = address->ai_next) {
    const std::int64_t left = deadline - clock.NowMs();
    if (left <= 0) break;
    error = connectOne(*address, static_cast<int>(left));
    if (!error) return {};
  }
  return error ? error : PortError::Network(static_cast<int>(NetworkFailure::NoAnswer));
}
