#pragma once

#include <atomic>

#include "serial/SerialDevice.h"

// The tty backend: a device node opened exclusively, in raw mode, without
// flow control, driven without blocking; a wake-up descriptor ends the
// pump's wait at once.
class CTermiosDevice final : public ISerialDevice {
 public:
  CTermiosDevice();
  ~CTermiosDevice() override;

  PortError Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override { return fd_.load() >= 0; }
  PortError Configure(const LineSettings& settings) override;
  LineSetting RefusedSetting() const override { return refused_; }
  PortError SetBaudRate(std::uint32_t baud) override;
  PortError SetDataBits(int dataBits) override;
  PortError SetModemLine(ModemLine line, bool on) override;
  PortError GetModemStatus(ModemStatus& status) override;
  PortError Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) override;
  PortError Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override;
  DeviceEvent WaitEvent() override;
  void Wake() override;
  // COMn is the tty that Linux numbers n - 1.
  std::string PortDeviceName(int portNumber) const override;

 private:
  int WaitWritable(int fd, std::size_t bytesLeft);
  void DrainWake();

  std::atomic<int> fd_{-1};
  int wakeFd_ = -1;
  LineSetting refused_ = LineSetting::None;
};
