#pragma once

#include <memory>
#include <string>
#include <vector>

#include "serial/SerialDevice.h"

// What a front end does differently on each platform beside its serial
// backend (MakeSerialDevice): the OS's own text for an error code, why a port
// cannot be used, and the ports present.
std::string SystemErrorText(int error);
// The device, the OS reason and what to do about it.
std::string ExplainPortError(const std::string& devicePath, int error);
// One line per port, for the "ports" command.
std::vector<std::string> PortListLines();
