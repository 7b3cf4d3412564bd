#include "serial/DeviceByName.h"

#include "serial/NetworkAddress.h"
#include "serial/Rfc2217Device.h"

CDeviceByName::CDeviceByName(std::unique_ptr<ISerialDevice> local)
    : local_(std::move(local)), network_(std::make_unique<CRfc2217Device>()), current_(local_.get()) {}

CDeviceByName::~CDeviceByName() = default;

PortError CDeviceByName::Open(const std::string& path) {
  Current().Close();
  current_.store(IsNetworkDeviceName(path) ? network_.get() : local_.get());
  return Current().Open(path);
}
