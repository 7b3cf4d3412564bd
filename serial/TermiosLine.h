#pragma once

#include <cstdint>

#include "serial/SerialDevice.h"

// The tty settings behind CTermiosDevice, on an open descriptor. Each returns
// 0 or an errno value.

// TIOCEXCL keeps later opens out; an existing claim refuses with EBUSY even
// for a privileged user, whom the kernel would let through.
int ClaimExclusive(int fd);
// Asks the driver to pass received bytes on at once (USB adapters hold them
// back otherwise); drivers without the setting, such as a pty, are left alone.
void RequestLowLatency(int fd);
// Raw mode, speed, character size, stop bits, parity, no flow control.
int ApplyLine(int fd, const LineSettings& settings);
int ApplyBaudRate(int fd, std::uint32_t baud);
int ApplyDataBits(int fd, int dataBits);
// DTR and RTS raised; a device without modem lines (a pty) is accepted.
int RaiseControlLines(int fd);
