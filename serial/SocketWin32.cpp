#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

#include "serial/ConnectWithin.h"
#include "serial/NetworkFailure.h"
#include "serial/Socket.h"

namespace {

// Winsock is started once and left running: the process may open the port
// again at any time.
bool StartWinsock() {
  static const bool started = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

PortError LastSocketError() {
  return PortError::Win32(static_cast<unsigned long>(WSAGetLastError()));
}

struct AddressList {
  addrinfo* first = nullptr;
  ~AddressList() {
    if (first != nullptr) freeaddrinfo(first);
  }
};

PortError ConnectOne(const addrinfo& address, int timeoutMs, SOCKET& s) {
  s = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
  if (s == INVALID_SOCKET) return LastSocketError();
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  if (connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0 &&
      WSAGetLastError() != WSAEWOULDBLOCK) {
    const PortError error = LastSocketError();
    closesocket(s);
    return error;
  }
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval bound{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  const int ready = select(0, nullptr, &writable, &failed, &bound);
  PortError error;
  if (ready == 0) {
    error = PortError::Network(static_cast<int>(NetworkFailure::NoAnswer));
  } else if (ready < 0) {
    error = LastSocketError();
  } else if (FD_ISSET(s, &failed)) {
    int code = 0;
    int length = sizeof code;
    getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &length);
    error = PortError::Win32(static_cast<unsigned long>(code != 0 ? code : WSAECONNREFUSED));
  }
  if (error) closesocket(s);
  return error;
}

}  // namespace

PortError SocketConnect(const std::string& host, std::uint16_t port, int timeoutMs, SocketHandle& handle) {
  handle = kNoSocket;
  if (!StartWinsock()) return LastSocketError();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  AddressList list;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list.first) != 0 ||
      list.first == nullptr)
    return PortError::Network(static_cast<int>(NetworkFailure::UnknownHost));
  SOCKET s = INVALID_SOCKET;
  CSystemClock clock;
  const PortError error =
      ConnectWithin(clock, timeoutMs, list.first,
                    [&s](const addrinfo& address, int leftMs) { return ConnectOne(address, leftMs, s); });
  if (error) return error;
  u_long blocking = 0;
  ioctlsocket(s, FIONBIO, &blocking);
  BOOL one = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
  handle = static_cast<SocketHandle>(s);
  return {};
}

PortError SocketSend(SocketHandle handle, const std::uint8_t* bytes, std::size_t count) {
  std::size_t sent = 0;
  while (sent < count) {
    const int n = send(static_cast<SOCKET>(handle), reinterpret_cast<const char*>(bytes + sent),
                       static_cast<int>(count - sent), 0);
    if (n <= 0) return n < 0 ? LastSocketError() : PortError::Win32(WSAECONNRESET);
    sent += static_cast<std::size_t>(n);
  }
  return {};
}

PortError SocketReceive(SocketHandle handle, std::uint8_t* buffer, std::size_t max, std::size_t& got) {
  got = 0;
  const int n = recv(static_cast<SOCKET>(handle), reinterpret_cast<char*>(buffer), static_cast<int>(max), 0);
  if (n < 0) return LastSocketError();
  got = static_cast<std::size_t>(n);
  return {};
}

void SocketShutdown(SocketHandle handle) {
  shutdown(static_cast<SOCKET>(handle), SD_BOTH);
}

void SocketClose(SocketHandle handle) {
  closesocket(static_cast<SOCKET>(handle));
}
