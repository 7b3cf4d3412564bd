#include "frontend/NetworkErrorText.h"
#include "frontend/PlatformPort.h"
#include "frontend/PortErrorText.h"
#include "frontend/SerialDeviceList.h"
#include "resources/Strings.h"

std::string Win32CodeText(int code) {
  // Only Windows has the texts of its codes.
  return Format(kStrWin32ErrorCode, {code});
}

std::string ExplainPortError(const std::string& devicePath, const PortError& error,
                             const std::string& detail) {
  return DescribePortError(devicePath, error, GatherPortAccessFacts(devicePath)) + ServerWordsText(detail);
}

std::vector<std::string> PortListLines() {
  std::vector<std::string> lines;
  for (const SerialDeviceEntry& entry : ListSerialDevices()) lines.push_back(DescribeSerialDevice(entry));
  return lines;
}
