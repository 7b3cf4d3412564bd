#pragma once

#include <cstdint>

// Where request frames go, one byte at a time (the serial port in the program).
class IByteSink {
 public:
  virtual ~IByteSink() = default;
  virtual bool WriteByte(std::uint8_t byte) = 0;
};

// Where writes go once there is no port (after the close request): nowhere.
class CNullSink final : public IByteSink {
 public:
  bool WriteByte(std::uint8_t) override { return false; }
};
