#pragma once

#include <cstddef>
#include <cstdint>

// Received bytes that make no frame are traced too, so that a time-out shows
// what did arrive: the start of a frame that never ended (incomplete), or
// bytes that came while nothing waited for them or after the buffer was full
// (discarded).
enum class TraceDirection { ToUps, FromUps, FromUpsIncomplete, FromUpsDiscarded };

// Sees every frame both ways and every change of line speed, as they
// happen. Called on the user-interface thread (frames sent, speed changes)
// and on the receive pump thread (frames received).
class IFrameTrace {
 public:
  virtual ~IFrameTrace() = default;
  virtual void Frame(TraceDirection direction, const std::uint8_t* bytes, std::size_t count) = 0;
  virtual void LineSpeed(std::uint32_t baud, int dataBits) = 0;
};
