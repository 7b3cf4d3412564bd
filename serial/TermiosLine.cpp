#include "serial/TermiosLine.h"

// termios2 carries any speed (BOTHER); glibc's <termios.h> would clash with it.
#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <iterator>

namespace {

struct SpeedCode {
  std::uint32_t baud;
  tcflag_t code;
};

constexpr SpeedCode kStandardSpeeds[] = {
    {50, B50},          {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},        {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},      {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},    {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},  {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}};

struct ParityBits {
  char letter;
  tcflag_t bits;
};

// Mark and space are stick parity (CMSPAR), where PARODD picks mark.
constexpr ParityBits kParityBits[] = {
    {'O', PARENB | PARODD}, {'E', PARENB}, {'M', PARENB | CMSPAR | PARODD}, {'S', PARENB | CMSPAR}};

int ReadLine(int fd, termios2& tio) {
  return ioctl(fd, TCGETS2, &tio) < 0 ? errno : 0;
}

int WriteLine(int fd, const termios2& tio) {
  return ioctl(fd, TCSETS2, &tio) < 0 ? errno : 0;
}

// A standard speed keeps its B-constant so that every tool reads it back;
// any other speed goes by number.
int SetSpeed(termios2& tio, std::uint32_t baud) {
  if (baud == 0) return EINVAL;  // B0 would hang the line up
  tcflag_t code = BOTHER;
  for (const SpeedCode& entry : kStandardSpeeds) {
    if (entry.baud == baud) code = entry.code;
  }
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= code;
  tio.c_ispeed = baud;
  tio.c_ospeed = baud;
  return 0;
}

int SetCharacterSize(termios2& tio, int dataBits) {
  static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  if (dataBits < 5 || dataBits > 8) return EINVAL;
  tio.c_cflag = (tio.c_cflag & ~CSIZE) | kSizes[dataBits - 5];
  return 0;
}

int SetFraming(termios2& tio, int stopBits, char parity) {
  if (stopBits != 1 && stopBits != 2) return EINVAL;
  tio.c_cflag &= ~(CSTOPB | PARENB | PARODD | CMSPAR);
  if (stopBits == 2) tio.c_cflag |= CSTOPB;
  for (const ParityBits& entry : kParityBits) {
    if (entry.letter == parity) tio.c_cflag |= entry.bits;
  }
  return 0;
}

void MakeRaw(termios2& tio) {
  tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~CRTSCTS;
  tio.c_cflag |= CREAD | CLOCAL;
  // With O_NONBLOCK a read returns at once with what is buffered.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
}

// A pty takes any character size and parity but keeps 8 bits, no parity:
// a setting that did not hold is refused rather than reported as done.
int WriteAndCheck(int fd, const termios2& wanted) {
  if (int error = WriteLine(fd, wanted); error != 0) return error;
  termios2 applied{};
  if (int error = ReadLine(fd, applied); error != 0) return error;
  constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD | CMSPAR;
  return (applied.c_cflag & kFraming) == (wanted.c_cflag & kFraming) ? 0 : ENOTTY;
}

// Reads the line's settings, lets `change` alter them, and writes them back:
// with the framing check when `check`, as they are otherwise.
template <typename Change>
int ChangeLine(int fd, Change change, bool check) {
  termios2 tio{};
  if (int error = ReadLine(fd, tio); error != 0) return error;
  if (int error = change(tio); error != 0) return error;
  return check ? WriteAndCheck(fd, tio) : WriteLine(fd, tio);
}

}  // namespace

int ClaimExclusive(int fd) {
  int claimed = 0;
  if (ioctl(fd, TIOCGEXCL, &claimed) < 0) return errno;  // ENOTTY: not a terminal
  if (claimed != 0) return EBUSY;
  return ioctl(fd, TIOCEXCL) < 0 ? errno : 0;
}

void RequestLowLatency(int fd) {
  serial_struct serial{};
  if (ioctl(fd, TIOCGSERIAL, &serial) < 0) return;
  serial.flags |= ASYNC_LOW_LATENCY;
  ioctl(fd, TIOCSSERIAL, &serial);
}

int ApplyLine(int fd, const LineSettings& settings) {
  const auto change = [&settings](termios2& tio) {
    MakeRaw(tio);
    if (int error = SetSpeed(tio, settings.baud); error != 0) return error;
    if (int error = SetCharacterSize(tio, settings.dataBits); error != 0) return error;
    return SetFraming(tio, settings.stopBits, settings.parity);
  };
  return ChangeLine(fd, change, true);
}

int ApplyBaudRate(int fd, std::uint32_t baud) {
  return ChangeLine(
      fd, [baud](termios2& tio) { return SetSpeed(tio, baud); }, false);
}

int ApplyDataBits(int fd, int dataBits) {
  return ChangeLine(
      fd, [dataBits](termios2& tio) { return SetCharacterSize(tio, dataBits); }, true);
}

int RaiseControlLines(int fd) {
  int bits = TIOCM_DTR | TIOCM_RTS;
  if (ioctl(fd, TIOCMBIS, &bits) < 0 && errno != ENOTTY && errno != EINVAL) return errno;
  return 0;
}
