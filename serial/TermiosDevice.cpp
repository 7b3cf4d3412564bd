#include "serial/TermiosDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "serial/DeviceByName.h"
#include "serial/TermiosLine.h"

namespace {

// A write may take this long per byte, plus the constant, before it gives up.
constexpr int kWriteMsPerByte = 10;
constexpr int kWriteConstantMs = 10;

int ErrnoOr(int result) {
  return result < 0 ? errno : 0;
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

PortError CTermiosDevice::SetBaudRate(std::uint32_t baud) {
  int fd = fd_.load();
  return PortError::Posix(fd < 0 ? EBADF : ApplyBaudRate(fd, baud));
}

PortError CTermiosDevice::SetDataBits(int dataBits) {
  int fd = fd_.load();
  return PortError::Posix(fd < 0 ? EBADF : ApplyDataBits(fd, dataBits));
}

PortError CTermiosDevice::SetModemLine(ModemLine line, bool on) {
  int fd = fd_.load();
  if (fd < 0) return PortError::Posix(EBADF);
  int bits = line == ModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
  return PortError::Posix(ErrnoOr(ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits)));
}

PortError CTermiosDevice::GetModemStatus(ModemStatus& status) {
  status = ModemStatus{};
  int fd = fd_.load();
  if (fd < 0) return PortError::Posix(EBADF);
  int bits = 0;
  if (ioctl(fd, TIOCMGET, &bits) < 0) return PortError::Posix(errno);
  status.cts = (bits & TIOCM_CTS) != 0;
  status.dsr = (bits & TIOCM_DSR) != 0;
  status.ring = (bits & TIOCM_RNG) != 0;
  status.carrierDetect = (bits & TIOCM_CAR) != 0;
  return {};
}

PortError CTermiosDevice::Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) {
  got = 0;
  int fd = fd_.load();
  if (fd < 0) return PortError::Posix(EBADF);
  ssize_t n = read(fd, buffer, max);
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
