#pragma once

#include <cstdint>

// Where request frames go, one byte at a time (the serial port in the program).
class IByteSink {
 public:
  virtual ~IByteSink() = default;
  virtual bool WriteByte(std::uint8_t byte) = 0;
  // The frame's last byte is written: a sink that gathers bytes sends them
  // now, so a network line carries a frame in one packet.
  virtual void EndFrame() {}
};

// Where writes go once there is no port (after the close request): nowhere.
class CNullSink final : public IByteSink {
 public:
  bool WriteByte(std::uint8_t) override { return false; }
};
