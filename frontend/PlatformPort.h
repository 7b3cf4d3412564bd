#pragma once

#include <memory>
#include <string>
#include <vector>

#include "serial/SerialDevice.h"

// What a front end does differently on each platform beside its serial
// backend (MakeSerialDevice): the text of an error from its domain's own
// source, why a port cannot be used, and the ports present.
std::string SystemErrorText(const PortError& error);
// The text of a Win32 error code: the system's own on Windows, the bare code
// elsewhere.
std::string Win32CodeText(int code);
// "cannot open" with the device and, when known, the reason.
std::string PortCannotOpenText(const std::string& devicePath, const PortError& error);
// The device, the reason and what to do about it; detail is the device's own
// words on the failure, if any.
std::string ExplainPortError(const std::string& devicePath, const PortError& error,
                             const std::string& detail = {});
// One line per port, for the "ports" command.
std::vector<std::string> PortListLines();
