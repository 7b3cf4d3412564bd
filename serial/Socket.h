#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "serial/PortError.h"

// The small socket seam under the network serial port: a TCP client with
// blocking calls, POSIX sockets or Winsock behind it (SocketPosix.cpp,
// SocketWin32.cpp), which share the connect's address loop (ConnectWithin.h).
// Errors keep their system's domain; the bound on the connect is the network
// port's own failure NoAnswer.
using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

// Resolves host, connects within timeoutMs and sets TCP_NODELAY.
PortError SocketConnect(const std::string& host, std::uint16_t port, int timeoutMs, SocketHandle& handle);
// Sends every byte, or fails.
PortError SocketSend(SocketHandle handle, const std::uint8_t* bytes, std::size_t count);
// Blocks until bytes come; got 0 means the peer closed the connection.
PortError SocketReceive(SocketHandle handle, std::uint8_t* buffer, std::size_t max, std::size_t& got);
// Ends a receive blocked on another thread.
void SocketShutdown(SocketHandle handle);
void SocketClose(SocketHandle handle);
