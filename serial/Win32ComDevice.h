#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/SerialDevice.h"

// The Windows backend: a COM port opened overlapped and unshared. The pump
// waits for received bytes and for its stop event together.
class CWin32ComDevice final : public ISerialDevice {
 public:
  CWin32ComDevice();
  ~CWin32ComDevice() override;

  PortError Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override;
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
  std::string PortDeviceName(int portNumber) const override;

 private:
  struct Waits;  // the events and the overlapped records, Win32 types

  DeviceEvent WaitForEventOrStop(void* handle);

  std::atomic<void*> handle_;
  std::unique_ptr<Waits> waits_;
  // The pump's WaitCommEvent is still in flight: its record stays in use.
  std::atomic<bool> waitPending_{false};
  // A read failed while bytes were queued: the pump must not wait again.
  std::atomic<bool> readFailed_{false};
  LineSetting refused_ = LineSetting::None;
};

// The COM number a device name gives ("COM7", "\\.\COM12", any case), or 0
// when it names no COM port.
int ComPortNumber(const std::string& deviceName);
inline constexpr int kMaxComPort = 255;
