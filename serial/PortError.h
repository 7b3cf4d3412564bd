#pragma once

#include <cstdint>

// Whose numbers an error code is: the same number means different things to
// errno and to GetLastError, so a code never travels without its domain.
enum class ErrorDomain : std::uint8_t {
  None,
  Posix,    // errno
  Win32,    // GetLastError, and WSAGetLastError for sockets
  Network,  // the network port's own failures (serial/NetworkFailure.h)
};

// What a failure means to the port, whatever the domain said.
enum class PortFailure : std::uint8_t {
  None,
  Lost,          // the device went away under an open port
  Busy,          // another program holds it
  AccessDenied,  // the user may not open it
  NotFound,      // no such device
  NotSerial,     // it exists but is no serial port
  Refused,       // a network server would not serve the line
  Other,
};

// Aligned to its size so that std::atomic<PortError> is lock-free everywhere:
// clang would otherwise call libatomic, which nothing links.
struct alignas(8) PortError {
  ErrorDomain domain = ErrorDomain::None;
  int code = 0;

  static constexpr PortError Posix(int error) {
    return error == 0 ? PortError{} : PortError{ErrorDomain::Posix, error};
  }
  static constexpr PortError Win32(unsigned long error) {
    return error == 0 ? PortError{} : PortError{ErrorDomain::Win32, static_cast<int>(error)};
  }
  static constexpr PortError Network(int failure) { return PortError{ErrorDomain::Network, failure}; }

  explicit constexpr operator bool() const { return domain != ErrorDomain::None; }
  friend constexpr bool operator==(const PortError&, const PortError&) = default;

  PortFailure Meaning() const;
  // The device will never deliver again: reading on would only spin.
  bool MeansDeviceGone() const;
};
