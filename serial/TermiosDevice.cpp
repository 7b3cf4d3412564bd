#include "serial/TermiosDevice.h"

// termios2 carries any speed (BOTHER); glibc's <termios.h> would clash with it.
#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "serial/DeviceByName.h"

namespace {

// A write may take this long per byte, plus the constant, before it gives up.
constexpr int kWriteMsPerByte = 10;
constexpr int kWriteConstantMs = 10;

int ErrnoOr(int result) {
  return result < 0 ? errno : 0;
}

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
  return ErrnoOr(ioctl(fd, TCGETS2, &tio));
}

int WriteLine(int fd, const termios2& tio) {
  return ErrnoOr(ioctl(fd, TCSETS2, &tio));
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

// TIOCEXCL keeps later opens out; an existing claim refuses with EBUSY even
// for a privileged user, whom the kernel would let through.
int ClaimExclusive(int fd) {
  int claimed = 0;
  if (ioctl(fd, TIOCGEXCL, &claimed) < 0) return errno;  // ENOTTY: not a terminal
  if (claimed != 0) return EBUSY;
  return ioctl(fd, TIOCEXCL) < 0 ? errno : 0;
}

// Asks the driver to pass received bytes on at once (USB adapters hold them
// back otherwise); drivers without the setting, such as a pty, are left alone.
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

// A device without modem lines (a pty) is accepted.
int RaiseControlLines(int fd) {
  int bits = TIOCM_DTR | TIOCM_RTS;
  if (ioctl(fd, TIOCMBIS, &bits) < 0 && errno != ENOTTY && errno != EINVAL) return errno;
  return 0;
}

}  // namespace

CTermiosDevice::CTermiosDevice() : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CTermiosDevice::~CTermiosDevice() {
  Close();
  if (wakeFd_ >= 0) close(wakeFd_);
}

std::unique_ptr<ISerialDevice> MakeSerialDevice() {
  return std::make_unique<CDeviceByName>(std::make_unique<CTermiosDevice>());
}

std::string CTermiosDevice::PortDeviceName(int portNumber) const {
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

PortError CTermiosDevice::Open(const std::string& path) {
  Close();
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return PortError::Posix(errno);
  int error = ClaimExclusive(fd);
  if (error != 0) {
    close(fd);
    return PortError::Posix(error);
  }
  RequestLowLatency(fd);
  DrainWake();
  fd_.store(fd);
  return {};
}

void CTermiosDevice::Close() {
  int fd = fd_.exchange(-1);
  if (fd >= 0) {
    ioctl(fd, TIOCNXCL);
    close(fd);
  }
}

PortError CTermiosDevice::Configure(const LineSettings& settings) {
  int fd = fd_.load();
  if (fd < 0) return PortError::Posix(EBADF);
  refused_ = LineSetting::SerialLine;
  if (int error = ApplyLine(fd, settings); error != 0) return PortError::Posix(error);
  refused_ = LineSetting::ControlLines;
  return PortError::Posix(RaiseControlLines(fd));
}

// On a closed device (descriptor -1) the calls below fail with EBADF by themselves.
PortError CTermiosDevice::SetBaudRate(std::uint32_t baud) {
  const auto change = [baud](termios2& tio) { return SetSpeed(tio, baud); };
  return PortError::Posix(ChangeLine(fd_.load(), change, false));
}

PortError CTermiosDevice::SetDataBits(int dataBits) {
  const auto change = [dataBits](termios2& tio) { return SetCharacterSize(tio, dataBits); };
  return PortError::Posix(ChangeLine(fd_.load(), change, true));
}

PortError CTermiosDevice::SetModemLine(ModemLine line, bool on) {
  int bits = line == ModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
  return PortError::Posix(ErrnoOr(ioctl(fd_.load(), on ? TIOCMBIS : TIOCMBIC, &bits)));
}

PortError CTermiosDevice::GetModemStatus(ModemStatus& status) {
  status = ModemStatus{};
  int bits = 0;
  if (ioctl(fd_.load(), TIOCMGET, &bits) < 0) return PortError::Posix(errno);
  status.cts = (bits & TIOCM_CTS) != 0;
  status.dsr = (bits & TIOCM_DSR) != 0;
  status.ring = (bits & TIOCM_RNG) != 0;
  status.carrierDetect = (bits & TIOCM_CAR) != 0;
  return {};
}

PortError CTermiosDevice::Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) {
  got = 0;
  ssize_t n = read(fd_.load(), buffer, max);
  if (n >= 0) {
    got = static_cast<std::size_t>(n);
    return {};
  }
  return PortError::Posix(errno == EAGAIN || errno == EINTR ? 0 : errno);
}

PortError CTermiosDevice::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) {
  written = 0;
  int fd = fd_.load();
  if (fd < 0) return PortError::Posix(EBADF);
  while (written < count) {
    ssize_t n = write(fd, bytes + written, count - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return PortError::Posix(errno);
    if (int error = WaitWritable(fd, count - written); error != 0) return PortError::Posix(error);
  }
  return {};
}

// The output buffer is full: wait, bounded, until the line takes more.
int CTermiosDevice::WaitWritable(int fd, std::size_t bytesLeft) {
  pollfd entry{fd, POLLOUT, 0};
  int timeoutMs = kWriteConstantMs + kWriteMsPerByte * static_cast<int>(bytesLeft);
  int ready = poll(&entry, 1, timeoutMs);
  if (ready < 0) return errno == EINTR ? 0 : errno;
  if (ready == 0) return ETIMEDOUT;
  return (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 ? EIO : 0;
}

DeviceEvent CTermiosDevice::WaitEvent() {
  for (;;) {
    pollfd entries[2] = {{wakeFd_, POLLIN, 0}, {fd_.load(), POLLIN, 0}};
    if (poll(entries, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return DeviceEvent::HungUp;
    }
    if ((entries[0].revents & POLLIN) != 0) {
      DrainWake();
      return DeviceEvent::Woken;
    }
    if ((entries[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return DeviceEvent::HungUp;
    if ((entries[1].revents & POLLIN) != 0) return DeviceEvent::Readable;
  }
}

void CTermiosDevice::Wake() {
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
}

void CTermiosDevice::DrainWake() {
  std::uint64_t count = 0;
  [[maybe_unused]] ssize_t n = read(wakeFd_, &count, sizeof count);
}
