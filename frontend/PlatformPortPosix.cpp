#include <cstring>

#include "frontend/PlatformPort.h"
#include "frontend/PortErrorText.h"
#include "frontend/SerialDeviceList.h"
#include "serial/TermiosDevice.h"

std::unique_ptr<ISerialDevice> MakeSerialDevice() {
  return std::make_unique<CTermiosDevice>();
}

std::string SystemErrorText(int error) {
  return std::strerror(error);
}

std::string ExplainPortError(const std::string& devicePath, int error) {
  return DescribePortError(devicePath, error, GatherPortAccessFacts(devicePath));
}

std::vector<std::string> PortListLines() {
  std::vector<std::string> lines;
  for (const SerialDeviceEntry& entry : ListSerialDevices()) lines.push_back(DescribeSerialDevice(entry));
  return lines;
}
