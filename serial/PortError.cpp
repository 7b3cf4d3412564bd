#include "serial/PortError.h"

#include <cerrno>

#include "serial/NetworkFailure.h"

namespace {

PortFailure PosixMeaning(int error) {
  switch (error) {
    case EIO:
    case EBADF:
      return PortFailure::Lost;
    case EACCES:
    case EPERM:
      return PortFailure::AccessDenied;
    case EBUSY:
      return PortFailure::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return PortFailure::NotFound;
    case ENOTTY:
      return PortFailure::NotSerial;
    default:
      return PortFailure::Other;
  }
}

// The documented GetLastError numbers, spelled out so that a tree without
// the Windows headers classifies them as Windows would.
PortFailure Win32Meaning(int error) {
  switch (error) {
    case 2:  // ERROR_FILE_NOT_FOUND
    case 3:  // ERROR_PATH_NOT_FOUND
      return PortFailure::NotFound;
    case 5:  // ERROR_ACCESS_DENIED
      return PortFailure::AccessDenied;
    case 32:  // ERROR_SHARING_VIOLATION
      return PortFailure::Busy;
    case 6:     // ERROR_INVALID_HANDLE
    case 22:    // ERROR_BAD_COMMAND: a USB adapter pulled out
    case 31:    // ERROR_GEN_FAILURE
    case 1167:  // ERROR_DEVICE_NOT_CONNECTED
      return PortFailure::Lost;
    case 1200:  // ERROR_BAD_DEVICE
      return PortFailure::NotSerial;
    default:
      return PortFailure::Other;
  }
}

}  // namespace

PortFailure PortError::Meaning() const {
  switch (domain) {
    case ErrorDomain::None:
      return PortFailure::None;
    case ErrorDomain::Posix:
      return PosixMeaning(code);
    case ErrorDomain::Win32:
      return Win32Meaning(code);
    case ErrorDomain::Network:
      return NetworkMeaning(static_cast<NetworkFailure>(code));
  }
  return PortFailure::Other;
}

bool PortError::MeansDeviceGone() const {
  const PortFailure meaning = Meaning();
  // ENXIO and ENODEV from a read say the device went away after the open.
  return meaning == PortFailure::Lost ||
         (domain == ErrorDomain::Posix && meaning == PortFailure::NotFound && code != ENOENT);
}
