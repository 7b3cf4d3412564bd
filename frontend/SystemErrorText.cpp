#include <cstring>

#include "frontend/NetworkErrorText.h"
#include "frontend/PlatformPort.h"
#include "resources/Strings.h"

std::string SystemErrorText(const PortError& error) {
  switch (error.domain) {
    case ErrorDomain::Posix:
      return std::strerror(error.code);
    case ErrorDomain::Win32:
      return Win32CodeText(error.code);
    case ErrorDomain::Network:
      return NetworkFailureText(static_cast<NetworkFailure>(error.code));
    case ErrorDomain::None:
      break;
  }
  return {};
}

std::string PortCannotOpenText(const std::string& devicePath, const PortError& error) {
  return !error ? Format(kStrPortCannotOpen, {devicePath})
                : Format(kStrPortCannotOpenReason, {devicePath, SystemErrorText(error)});
}
