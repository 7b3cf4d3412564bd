#include "sim/SimDevice.h"

#include <cerrno>

// The port's runner over the simulated line: the line steps the pump itself.
class CSimDevice::CInlinePump final : public IPumpRunner {
 public:
  explicit CInlinePump(CSimDevice& line) : line_(line) {}
  bool Start(IPumpStep& step) override {
    line_.pump_ = &step;
    return true;
  }
  void Wake() override { line_.Wake(); }
  void Join() override { line_.pump_ = nullptr; }

 private:
  CSimDevice& line_;
};

std::unique_ptr<IPumpRunner> CSimDevice::MakePumpRunner() {
  return std::make_unique<CInlinePump>(*this);
}

PortError CSimDevice::Open(const std::string&) {
  if (unplugged_) return PortError::Posix(ENOENT);
  if (open_) return PortError::Posix(EBUSY);
  open_ = true;
  hungUp_ = false;
  wake_ = false;
  rx_.clear();
  ++session_;
  return {};
}

void CSimDevice::Close() {
  open_ = false;
  rx_.clear();
  ++session_;
}

PortError CSimDevice::Configure(const LineSettings& settings) {
  if (!open_ || hungUp_) return PortError::Posix(EIO);
  // As a UART driver: a character size it has no setting for is refused.
  if (settings.dataBits < 5 || settings.dataBits > 8) return PortError::Posix(EINVAL);
  host_.baud = settings.baud;
  host_.dataBits = settings.dataBits;
  host_.dtr = true;
  host_.rts = true;
  Schedule(ups_.OnHostLine(host_, NowUs()));
  return {};
}

PortError CSimDevice::SetBaudRate(std::uint32_t baud) {
  if (!open_ || hungUp_) return PortError::Posix(EIO);
  host_.baud = baud;
  Schedule(ups_.OnHostLine(host_, NowUs()));
  return {};
}

PortError CSimDevice::SetDataBits(int dataBits) {
  if (!open_ || hungUp_) return PortError::Posix(EIO);
  if (dataBits < 5 || dataBits > 8) return PortError::Posix(EINVAL);
  host_.dataBits = dataBits;
  Schedule(ups_.OnHostLine(host_, NowUs()));
  return {};
}

PortError CSimDevice::SetModemLine(ModemLine line, bool on) {
  if (!open_ || hungUp_) return PortError::Posix(EIO);
  (line == ModemLine::Dtr ? host_.dtr : host_.rts) = on;
  Schedule(ups_.OnHostLine(host_, NowUs()));
  return {};
}

PortError CSimDevice::GetModemStatus(ModemStatus& status) {
  if (!open_ || hungUp_) return PortError::Posix(EIO);
  status = ModemStatus{};
  status.dsr = ups_.Dsr(host_);
  status.cts = host_.rts;
  return {};
}

PortError CSimDevice::Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) {
  got = 0;
  if (!open_ || hungUp_) return PortError::Posix(EIO);
  while (got < max && !rx_.empty()) {
    buffer[got++] = rx_.front();
    rx_.pop_front();
  }
  return {};
}

PortError CSimDevice::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) {
  written = 0;
  if (!open_ || hungUp_) return PortError::Posix(EIO);
  std::vector<SimOutput> out = ups_.OnBytes(bytes, count, NowUs(), host_);
  written = count;
  Schedule(std::move(out));
  return {};
}

void CSimDevice::Schedule(std::vector<SimOutput> outputs) {
  const std::uint64_t session = session_;
  for (SimOutput& output : outputs) {
    const std::int64_t atMs = (output.atUs + 999) / 1000;
    clock_.Schedule(atMs, [this, session, output = std::move(output)] {
      if (session == session_ && open_) Deliver(output);
    });
  }
}

void CSimDevice::Deliver(const SimOutput& output) {
  if (output.hangUp) {
    hungUp_ = true;
  } else {
    const bool mismatch =
        host_.baud != output.baud || (host_.modemLines && host_.dataBits != output.dataBits);
    for (std::uint8_t b : output.bytes) rx_.push_back(mismatch ? SimMismatchedByte(b) : b);
  }
  RunPump();
}

DeviceEvent CSimDevice::WaitEvent() {
  if (hungUp_) return DeviceEvent::HungUp;
  if (wake_ || !open_) {
    wake_ = false;
    return DeviceEvent::Woken;
  }
  return DeviceEvent::Readable;
}

void CSimDevice::Wake() {
  wake_ = true;
  RunPumpAtNextStep();
}

void CSimDevice::RunPump() {
  while (pump_ != nullptr && (hungUp_ || wake_ || !rx_.empty())) {
    if (!pump_->Step(WaitEvent())) pump_ = nullptr;
  }
}

void CSimDevice::RunPumpAtNextStep() {
  clock_.Schedule(clock_.NowMs(), [this] { RunPump(); });
}

void CSimDevice::Unplug() {
  unplugged_ = true;
  hungUp_ = true;
  RunPumpAtNextStep();
}
