#pragma once

#include <atomic>
#include <memory>

#include "serial/SerialDevice.h"

// The backend a device name picks when it is opened: the network port for
// rfc2217://HOST:PORT, the platform's own serial backend for anything else.
// So a stored device or --device may name either without the front end
// knowing which.
class CDeviceByName final : public ISerialDevice {
 public:
  explicit CDeviceByName(std::unique_ptr<ISerialDevice> local);
  ~CDeviceByName() override;

  std::string PortDeviceName(int portNumber) const override { return local_->PortDeviceName(portNumber); }
  PortError Open(const std::string& path) override;
  void Close() override { Current().Close(); }
  bool IsOpen() const override { return Current().IsOpen(); }
  PortError Configure(const LineSettings& settings) override { return Current().Configure(settings); }
  LineSetting RefusedSetting() const override { return Current().RefusedSetting(); }
  PortError SetBaudRate(std::uint32_t baud) override { return Current().SetBaudRate(baud); }
  PortError SetDataBits(int dataBits) override { return Current().SetDataBits(dataBits); }
  PortError SetModemLine(ModemLine line, bool on) override { return Current().SetModemLine(line, on); }
  PortError GetModemStatus(ModemStatus& status) override { return Current().GetModemStatus(status); }
  PortError Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) override {
    return Current().Read(buffer, max, got);
  }
  PortError Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override {
    return Current().Write(bytes, count, written);
  }
  PortError Flush() override { return Current().Flush(); }
  DeviceEvent WaitEvent() override { return Current().WaitEvent(); }
  void Wake() override { Current().Wake(); }
  std::string FailureDetail() const override { return Current().FailureDetail(); }

 private:
  ISerialDevice& Current() const { return *current_.load(); }

  std::unique_ptr<ISerialDevice> local_;
  std::unique_ptr<ISerialDevice> network_;
  // Changes only in Open, while no pump runs.
  std::atomic<ISerialDevice*> current_;
};
