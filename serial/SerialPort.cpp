#include "serial/SerialPort.h"

#include <cstdlib>
#include <system_error>
#include <thread>

namespace {

// The program's runner: one thread that waits for each device event and
// steps the pump with it, until a step says it reads no more.
class CPumpThread final : public IPumpRunner {
 public:
  explicit CPumpThread(ISerialDevice& device) : device_(device) {}
  ~CPumpThread() override {
    // A pump that missed its stop is still stepping: end its wait and wait
    // for it rather than leave it running on a device that is going.
    if (thread_.joinable()) {
      device_.Wake();
      thread_.join();
    }
  }

  bool Start(IPumpStep& step) override {
    try {
      thread_ = std::thread([this, &step] {
        while (step.Step(device_.WaitEvent())) {
        }
      });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }
  void Wake() override { device_.Wake(); }
  void Join() override { thread_.join(); }

 private:
  ISerialDevice& device_;
  std::thread thread_;
};

char ParityLetter(int parityCode) {
  return parityCode > 0 && parityCode < 5 ? kParityLetters[parityCode] : 'N';
}

}  // namespace

CSerialPort::CSerialPort(IClock& clock, std::unique_ptr<ISerialDevice> device,
                         std::unique_ptr<IPumpRunner> runner)
    : clock_(clock),
      device_(std::move(device)),
      pumpRunner_(runner ? std::move(runner) : std::make_unique<CPumpThread>(*device_)) {}

CSerialPort::~CSerialPort() {
  Close();
  // A pump that missed its stop still uses this object: its runner waits for
  // it rather than leave it running on freed memory.
  pumpRunner_.reset();
}

std::string CSerialPort::DevicePathFor(int portNumber) const {
  if (!deviceOverride_.empty()) return deviceOverride_;
  return device_->PortDeviceName(portNumber);
}

bool CSerialPort::Open(int portNumber, std::uint32_t baud, int dataBits, int stopBits, int parityCode) {
  if (device_->IsOpen()) Close();
  devicePath_ = DevicePathFor(portNumber);
  refused_ = LineSetting::None;
  openFailed_ = !Succeeded(device_->Open(devicePath_));
  if (openFailed_) return false;
  // Only a device that opened again is back: a failed open leaves it lost.
  deviceLost_.store(false);
  LineSettings line{baud, dataBits, stopBits, ParityLetter(parityCode)};
  requested_ = line;
  if (!Succeeded(device_->Configure(line))) {
    refused_ = OutOfRangeSetting(line);
    if (refused_ == LineSetting::None) refused_ = device_->RefusedSetting();
    return false;
  }
  line_ = line;
  TraceLine();
  ForgetEndedPump();
  if (!pumpRecorded_) StartPump();
  return true;
}

void CSerialPort::Close() {
  StopPump();
  device_->Close();
  openFailed_ = false;
  refused_ = LineSetting::None;
}

std::string CSerialPort::RefusedValue() const {
  switch (refused_) {
    case LineSetting::BaudRate:
      return std::to_string(requested_.baud);
    case LineSetting::DataBits:
      return std::to_string(requested_.dataBits);
    case LineSetting::StopBits:
      return std::to_string(requested_.stopBits);
    default:
      return {};
  }
}

bool CSerialPort::IsOpen() const {
  return device_->IsOpen();
}

bool CSerialPort::SetBaudRate(std::uint32_t newBaud, std::uint32_t& previousBaud) {
  previousBaud = IsOpen() ? line_.baud : 0;
  if (!IsOpen() || !Succeeded(device_->SetBaudRate(newBaud))) return false;
  line_.baud = newBaud;
  settings.baud = std::to_string(newBaud);
  TraceLine();
  return true;
}

bool CSerialPort::SetDataBits(std::uint8_t newBits, std::uint8_t& previousBits) {
  previousBits = IsOpen() ? static_cast<std::uint8_t>(line_.dataBits) : 0;
  if (!IsOpen() || !Succeeded(device_->SetDataBits(newBits))) return false;
  line_.dataBits = newBits;
  settings.dataBits = std::to_string(newBits);
  TraceLine();
  return true;
}

void CSerialPort::TraceLine() const {
  if (trace_ != nullptr) trace_->LineSpeed(line_.baud, line_.dataBits);
}

bool CSerialPort::SetModemLine(ModemLine line, bool on) {
  if (!IsOpen()) {
    // After a failed open the call reaches the closed device, which refuses.
    if (openFailed_) lastError_.store(device_->SetModemLine(line, on));
    return false;
  }
  return Succeeded(device_->SetModemLine(line, on));
}

bool CSerialPort::GetModemStatus(ModemStatus& status) {
  ModemStatus read;
  status = ModemStatus{};
  if (!IsOpen()) {
    if (openFailed_) lastError_.store(device_->GetModemStatus(read));
    return false;
  }
  if (!Succeeded(device_->GetModemStatus(read))) return false;
  status = read;
  return true;
}

int CSerialPort::GetPortNumber() const {
  return static_cast<int>(SettingsInteger(settings.port));
}

bool CSerialPort::Succeeded(PortError error) {
  if (error) lastError_.store(error);
  return !error;
}
