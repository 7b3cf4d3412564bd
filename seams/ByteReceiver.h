#pragma once

#include <cstdint>

// Whoever the receive pump hands its chunks to.
class IByteReceiver {
 public:
  virtual ~IByteReceiver() = default;
  virtual void ReceiveBytes(const std::uint8_t* bytes, std::uint32_t count) = 0;
};
