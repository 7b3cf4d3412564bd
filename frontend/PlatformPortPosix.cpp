#include <cstring>

#include "frontend/PlatformPort.h"
#include "frontend/PortErrorText.h"
#include "frontend/SerialDeviceList.h"

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
