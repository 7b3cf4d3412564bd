#include "SerialTestSupport.h"

#include <cerrno>

namespace {
constexpr auto kRealWait = std::chrono::seconds(5);
}

void CChunkCollector::ReceiveBytes(const std::uint8_t* bytes, std::uint32_t count) {
  std::lock_guard<std::mutex> lock(mutex_);
  chunks_.push_back(count);
  bytes_.insert(bytes_.end(), bytes, bytes + count);
  arrived_.notify_all();
}

bool CChunkCollector::WaitForBytes(std::size_t total) {
  std::unique_lock<std::mutex> lock(mutex_);
  return arrived_.wait_for(lock, kRealWait, [&] { return bytes_.size() >= total; });
}

std::vector<std::size_t> CChunkCollector::ChunkSizes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return chunks_;
}

std::vector<std::uint8_t> CChunkCollector::Bytes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

void CSettlingClock::SleepMs(int ms) {
  Settle();
  clock_.SleepMs(ms);
  Settle();
}

void CSettlingClock::WaitFor(int ms, CSignal& signal, const std::function<bool()>& changed) {
  Settle();
  clock_.WaitFor(ms, signal, changed);
  Settle();
}

void CSettlingClock::Settle() {
  if (settle_) settle_();
}

PortError CFakeDevice::Open(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  openedPath = path;
  open_ = openError == 0;
  hungUp_ = false;
  return PortError::Posix(openError);
}

void CFakeDevice::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = false;
}

bool CFakeDevice::IsOpen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_;
}

PortError CFakeDevice::Configure(const LineSettings& settings) {
  if (callError == 0) {
    line = settings;
    dtr = rts = true;
  }
  return PortError::Posix(callError);
}

PortError CFakeDevice::SetBaudRate(std::uint32_t baud) {
  if (callError == 0) {
    line.baud = baud;
  }
  return PortError::Posix(callError);
}

PortError CFakeDevice::SetDataBits(int dataBits) {
  if (callError == 0) {
    line.dataBits = dataBits;
  }
  return PortError::Posix(callError);
}

PortError CFakeDevice::SetModemLine(ModemLine which, bool on) {
  if (!IsOpen()) return PortError::Posix(EBADF);
  if (callError == 0) {
    (which == ModemLine::Dtr ? dtr : rts) = on;
  }
  return PortError::Posix(callError);
}

PortError CFakeDevice::GetModemStatus(ModemStatus& out) {
  if (!IsOpen()) return PortError::Posix(EBADF);
  out = callError == 0 ? status : ModemStatus{};
  return PortError::Posix(callError);
}

PortError CFakeDevice::Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) {
  std::lock_guard<std::mutex> lock(mutex_);
  got = 0;
  if (hungUp_) {
    return PortError::Posix(EIO);
  }
  while (got < max && !input_.empty()) {
    buffer[got++] = input_.front();
    input_.pop_front();
  }
  if (got > 0 && input_.empty()) {
    emptiedAtWait_ = waits_;
  }
  changed_.notify_all();
  return {};
}

PortError CFakeDevice::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& writtenCount) {
  std::lock_guard<std::mutex> lock(mutex_);
  written.insert(written.end(), bytes, bytes + count);
  writtenCount = count;
  return {};
}

DeviceEvent CFakeDevice::WaitEvent() {
  std::unique_lock<std::mutex> lock(mutex_);
  ++waits_;
  changed_.notify_all();
  changed_.wait(lock, [&] { return (woken_ && !deaf_) || hungUp_ || !input_.empty(); });
  if (woken_ && !deaf_) {
    woken_ = false;
    return DeviceEvent::Woken;
  }
  return hungUp_ ? DeviceEvent::HungUp : DeviceEvent::Readable;
}

void CFakeDevice::Wake() {
  std::lock_guard<std::mutex> lock(mutex_);
  woken_ = true;
  changed_.notify_all();
}

void CFakeDevice::Feed(const std::vector<std::uint8_t>& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  input_.insert(input_.end(), bytes.begin(), bytes.end());
  emptiedAtWait_ = -1;
  changed_.notify_all();
}

void CFakeDevice::HangUp() {
  std::lock_guard<std::mutex> lock(mutex_);
  hungUp_ = true;
  changed_.notify_all();
}

void CFakeDevice::SetDeaf(bool deaf) {
  std::lock_guard<std::mutex> lock(mutex_);
  deaf_ = deaf;
  changed_.notify_all();
}

bool CFakeDevice::WaitUntilDrained() {
  std::unique_lock<std::mutex> lock(mutex_);
  // Drained once the last byte was read and the pump, done with it, waits again.
  return changed_.wait_for(lock, kRealWait, [&] { return emptiedAtWait_ >= 0 && waits_ > emptiedAtWait_; });
}

bool CFakeDevice::WaitUntilWaiting() {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kRealWait, [&] { return waits_ > 0; });
}

int CFakeDevice::WaitCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return waits_;
}
