#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "serial/ConnectWithin.h"
#include "serial/NetworkFailure.h"
#include "serial/Socket.h"

namespace {

struct AddressList {
  addrinfo* first = nullptr;
  ~AddressList() {
    if (first != nullptr) freeaddrinfo(first);
  }
};

int SocketErrorOf(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

// One address tried within what is left of the bound.
PortError ConnectOne(const addrinfo& address, int timeoutMs, int& fd) {
  fd = socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address.ai_protocol);
  if (fd < 0) return PortError::Posix(errno);
  if (connect(fd, address.ai_addr, address.ai_addrlen) != 0 && errno != EINPROGRESS) {
    const int error = errno;
    close(fd);
    return PortError::Posix(error);
  }
  pollfd entry{fd, POLLOUT, 0};
  int ready = 0;
  do {
    ready = poll(&entry, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  const PortError error = ready == 0 ? PortError::Network(static_cast<int>(NetworkFailure::NoAnswer))
                                     : PortError::Posix(ready < 0 ? errno : SocketErrorOf(fd));
  if (error) close(fd);
  return error;
}

}  // namespace

PortError SocketConnect(const std::string& host, std::uint16_t port, int timeoutMs, SocketHandle& handle) {
  handle = kNoSocket;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  AddressList list;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list.first) != 0 ||
      list.first == nullptr)
    return PortError::Network(static_cast<int>(NetworkFailure::UnknownHost));
  int fd = -1;
  CSystemClock clock;
  const PortError error =
      ConnectWithin(clock, timeoutMs, list.first,
                    [&fd](const addrinfo& address, int leftMs) { return ConnectOne(address, leftMs, fd); });
  if (error) return error;
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  handle = fd;
  return {};
}

PortError SocketSend(SocketHandle handle, const std::uint8_t* bytes, std::size_t count) {
  std::size_t sent = 0;
  while (sent < count) {
    const ssize_t n = send(static_cast<int>(handle), bytes + sent, count - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return PortError::Posix(n < 0 ? errno : EPIPE);
    sent += static_cast<std::size_t>(n);
  }
  return {};
}

PortError SocketReceive(SocketHandle handle, std::uint8_t* buffer, std::size_t max, std::size_t& got) {
  got = 0;
  for (;;) {
    const ssize_t n = recv(static_cast<int>(handle), buffer, max, 0);
    if (n >= 0) {
      got = static_cast<std::size_t>(n);
      // Acknowledge at once: a server that sends a reply in several small
      // segments without TCP_NODELAY holds the rest until this ACK, which
      // Linux would otherwise delay by up to 40 ms. The kernel drops quick
      // mode again after a while, so it is renewed at each receive.
      const int one = 1;
      setsockopt(static_cast<int>(handle), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
      return {};
    }
    if (errno != EINTR) return PortError::Posix(errno);
  }
}

void SocketShutdown(SocketHandle handle) {
  shutdown(static_cast<int>(handle), SHUT_RDWR);
}

void SocketClose(SocketHandle handle) {
  close(static_cast<int>(handle));
}
