#include "LoopbackServer.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int ListenOnLoopback(std::uint16_t& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(fd, 1);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

}  // namespace

CLoopbackServer::CLoopbackServer(Script script) : listener_(ListenOnLoopback(port_)) {
  thread_ = std::thread([this, script = std::move(script)] {
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) return;
    script(connection);
    close(connection);
  });
}

CLoopbackServer::~CLoopbackServer() {
  shutdown(listener_, SHUT_RDWR);
  thread_.join();
  close(listener_);
}

void SendBytes(int connection, const std::vector<std::uint8_t>& bytes) {
  [[maybe_unused]] ssize_t n = send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::vector<std::uint8_t> ReceiveFor(int connection, int timeoutMs) {
  std::vector<std::uint8_t> bytes;
  pollfd entry{connection, POLLIN, 0};
  while (poll(&entry, 1, timeoutMs) > 0) {
    std::uint8_t buffer[256];
    const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

std::uint16_t UnusedPort() {
  std::uint16_t port = 0;
  close(ListenOnLoopback(port));
  return port;
}
