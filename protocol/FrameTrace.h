#pragma once

#include <cstddef>
#include <cstdint>

enum class TraceDirection { ToUps, FromUps };

// Sees every frame both ways and every change of line speed, as they
// happen. Called on the user-interface thread (frames sent, speed changes)
// and on the receive pump thread (frames received).
class IFrameTrace {
 public:
  virtual ~IFrameTrace() = default;
  virtual void Frame(TraceDirection direction, const std::uint8_t* bytes, std::size_t count) = 0;
  virtual void LineSpeed(std::uint32_t baud, int dataBits) = 0;
};
