#include "serial/NetworkAddress.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr const char* kScheme = "rfc2217://";
constexpr std::size_t kSchemeLength = 10;

bool HasOurScheme(const std::string& name) {
  if (name.size() < kSchemeLength) return false;
  return std::equal(name.begin(), name.begin() + kSchemeLength, kScheme,
                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// The port text as a number, or 0 for none and anything above 65535 as 65536.
long PortNumber(const std::string& text) {
  long number = 0;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return -1;
    number = std::min(number * 10 + (c - '0'), 65536L);
  }
  return number;
}

}  // namespace

bool IsNetworkDeviceName(const std::string& deviceName) {
  return deviceName.find("://") != std::string::npos;
}

AddressProblem ParseNetworkAddress(const std::string& deviceName, NetworkAddress& address) {
  address = {};
  if (!HasOurScheme(deviceName)) return AddressProblem::UnknownScheme;
  std::string rest = deviceName.substr(kSchemeLength);
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  std::size_t colon = rest.rfind(':');
  std::string host = rest.substr(0, colon);
  const bool bracketed = host.size() >= 2 && host.front() == '[' && host.back() == ']';
  // A bare IPv6 address has colons of its own: only a bracketed one takes a port.
  if (colon != std::string::npos && host.find(':') != std::string::npos && !bracketed)
    colon = std::string::npos;
  if (colon == std::string::npos) host = rest;
  if (bracketed) host = host.substr(1, host.size() - 2);
  if (host.empty() || host.find_first_of("/@ ") != std::string::npos) return AddressProblem::NoHost;
  if (colon == std::string::npos || colon + 1 == rest.size()) return AddressProblem::NoPort;
  const long port = PortNumber(rest.substr(colon + 1));
  if (port < 0) return AddressProblem::NoPort;
  if (port == 0 || port > 65535) return AddressProblem::PortOutOfRange;
  address.host = host;
  address.port = static_cast<std::uint16_t>(port);
  return AddressProblem::None;
}
