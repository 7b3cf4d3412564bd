#pragma once

#include <cstdint>
#include <string>

// A network serial port's name: rfc2217://HOST:PORT, the host a name, an
// IPv4 address or a bracketed IPv6 address.
struct NetworkAddress {
  std::string host;
  std::uint16_t port = 0;
};

enum class AddressProblem { None, UnknownScheme, NoHost, NoPort, PortOutOfRange };

// True when the device name is meant as a network address (it has a
// scheme), whether or not it is a good one.
bool IsNetworkDeviceName(const std::string& deviceName);
AddressProblem ParseNetworkAddress(const std::string& deviceName, NetworkAddress& address);
