#pragma once

#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

// A TCP server on 127.0.0.1 for one connection, which a script serves on
// its own thread: a stand-in for an RFC 2217 server that misbehaves on cue.
class CLoopbackServer {
 public:
  using Script = std::function<void(int connection)>;
  explicit CLoopbackServer(Script script);
  ~CLoopbackServer();
  std::uint16_t Port() const { return port_; }

 private:
  std::uint16_t port_ = 0;  // set by the listener's creation, so declared first
  int listener_ = -1;
  std::thread thread_;
};

// Helpers for scripts: send bytes; read what comes within timeoutMs.
void SendBytes(int connection, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReceiveFor(int connection, int timeoutMs);
// A port on 127.0.0.1 where nothing listens.
std::uint16_t UnusedPort();
