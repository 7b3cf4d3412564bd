#pragma once

#include <string>

#include "serial/PortError.h"

// Who the process runs as and who owns the device, for the permission advice.
struct PortAccessFacts {
  std::string user;
  std::string owner;
  std::string group;
  unsigned mode = 0;   // permission bits
  bool known = false;  // false when the device could not be examined
};

// The facts of this process and this device node.
PortAccessFacts GatherPortAccessFacts(const std::string& devicePath);

// Why a serial device cannot be used: the device, the reason, and for a
// device denied, busy, missing or no serial port what to do about it.
std::string DescribePortError(const std::string& devicePath, const PortError& error,
                              const PortAccessFacts& facts);
