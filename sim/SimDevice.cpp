#include "sim/SimDevice.h"

#include <cerrno>

CSimDevice::CSimDevice(CVirtualClock& clock, CUpsSimulator& ups, bool withPump)
    : clock_(clock), ups_(ups), withPump_(withPump) {
  clock_.SetSettle([this] { Settle(); });
}

CSimDevice::~CSimDevice() {
  clock_.SetSettle(nullptr);
}

int CSimDevice::Open(const std::string&) {
  std::lock_guard lock(mutex_);
  if (unplugged_) return ENOENT;
  if (open_) return EBUSY;
  open_ = true;
  hungUp_ = false;
  wake_ = false;
  stopUnanswered_ = false;
  pumpAttached_ = withPump_;
  rx_.clear();
  ++session_;
  return 0;
}

void CSimDevice::Close() {
  {
    std::lock_guard lock(mutex_);
    open_ = false;
    rx_.clear();
    ++session_;
  }
  cv_.notify_all();
}

bool CSimDevice::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

SimHostLine CSimDevice::HostLine() const {
  std::lock_guard lock(mutex_);
  return host_;
}

int CSimDevice::Configure(const LineSettings& settings) {
  std::vector<SimOutput> out;
  {
    std::lock_guard lock(mutex_);
    if (!open_ || hungUp_) return EIO;
    host_.baud = settings.baud;
    host_.dataBits = settings.dataBits;
    host_.dtr = true;
    host_.rts = true;
    out = ups_.OnHostLine(host_, NowUs());
  }
  Schedule(std::move(out));
  return 0;
}

int CSimDevice::SetBaudRate(std::uint32_t baud) {
  std::vector<SimOutput> out;
  {
    std::lock_guard lock(mutex_);
    if (!open_ || hungUp_) return EIO;
    host_.baud = baud;
    out = ups_.OnHostLine(host_, NowUs());
  }
  Schedule(std::move(out));
  return 0;
}

int CSimDevice::SetDataBits(int dataBits) {
  std::vector<SimOutput> out;
  {
    std::lock_guard lock(mutex_);
    if (!open_ || hungUp_) return EIO;
    if (dataBits < 5 || dataBits > 8) return EINVAL;
    host_.dataBits = dataBits;
    out = ups_.OnHostLine(host_, NowUs());
  }
  Schedule(std::move(out));
  return 0;
}

int CSimDevice::SetModemLine(ModemLine line, bool on) {
  std::vector<SimOutput> out;
  {
    std::lock_guard lock(mutex_);
    if (!open_ || hungUp_) return EIO;
    (line == ModemLine::Dtr ? host_.dtr : host_.rts) = on;
    out = ups_.OnHostLine(host_, NowUs());
  }
  Schedule(std::move(out));
  return 0;
}

int CSimDevice::GetModemStatus(ModemStatus& status) {
  std::lock_guard lock(mutex_);
  if (!open_ || hungUp_) return EIO;
  status = ModemStatus{};
  status.dsr = ups_.Dsr(host_);
  status.cts = host_.rts;
  return 0;
}

int CSimDevice::Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) {
  std::lock_guard lock(mutex_);
  got = 0;
  if (!open_ || hungUp_) return EIO;
  while (got < max && !rx_.empty()) {
    buffer[got++] = rx_.front();
    rx_.pop_front();
  }
  if (rx_.empty()) cv_.notify_all();
  return 0;
}

int CSimDevice::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) {
  std::vector<SimOutput> out;
  {
    std::lock_guard lock(mutex_);
    written = 0;
    if (!open_ || hungUp_) return EIO;
    out = ups_.OnBytes(bytes, count, NowUs(), host_);
    written = count;
  }
  Schedule(std::move(out));
  return 0;
}

void CSimDevice::Schedule(std::vector<SimOutput> outputs) {
  std::uint64_t session = 0;
  {
    std::lock_guard lock(mutex_);
    session = session_;
  }
  for (SimOutput& output : outputs) {
    const std::int64_t atMs = (output.atUs + 999) / 1000;
    clock_.Schedule(atMs, [this, session, output = std::move(output)] {
      {
        std::lock_guard lock(mutex_);
        if (session != session_ || !open_) return;
      }
      Deliver(output);
    });
  }
}

void CSimDevice::Deliver(const SimOutput& output) {
  {
    std::lock_guard lock(mutex_);
    if (output.hangUp) {
      hungUp_ = true;
    } else {
      const bool mismatch =
          host_.baud != output.baud || (host_.modemLines && host_.dataBits != output.dataBits);
      for (std::uint8_t b : output.bytes) rx_.push_back(mismatch ? SimMismatchedByte(b) : b);
    }
  }
  cv_.notify_all();
}

DeviceEvent CSimDevice::WaitEvent() {
  std::unique_lock lock(mutex_);
  pumpAttached_ = true;
  pumpWaiting_ = true;
  cv_.notify_all();
  cv_.wait(lock, [&] { return !rx_.empty() || wake_ || hungUp_ || !open_; });
  pumpWaiting_ = false;
  if (hungUp_) return DeviceEvent::HungUp;
  if (wake_ || !open_) {
    wake_ = false;
    return DeviceEvent::Woken;
  }
  return DeviceEvent::Readable;
}

void CSimDevice::Wake() {
  {
    std::lock_guard lock(mutex_);
    wake_ = true;
    stopUnanswered_ = true;
  }
  cv_.notify_all();
}

void CSimDevice::PumpParked() {
  {
    std::lock_guard lock(mutex_);
    pumpAttached_ = false;
  }
  cv_.notify_all();
}

void CSimDevice::PumpEnded() {
  {
    std::lock_guard lock(mutex_);
    pumpAttached_ = false;
    stopUnanswered_ = false;
  }
  cv_.notify_all();
}

void CSimDevice::Settle() {
  std::unique_lock lock(mutex_);
  // Until a stopped pump answers, the port's polls for its answer must not
  // run ahead in virtual time.
  cv_.wait_for(lock, std::chrono::milliseconds(kSettleMs), [&] {
    return !open_ || (!stopUnanswered_ && (!pumpAttached_ || (pumpWaiting_ && rx_.empty() && !hungUp_)));
  });
}

void CSimDevice::Unplug() {
  {
    std::lock_guard lock(mutex_);
    unplugged_ = true;
    hungUp_ = true;
  }
  cv_.notify_all();
}

void CSimDevice::Replug() {
  std::lock_guard lock(mutex_);
  unplugged_ = false;
}
