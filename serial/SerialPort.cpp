#include "serial/SerialPort.h"

#include <cerrno>
#include <cstdlib>

namespace {

char ParityLetter(int parityCode) {
  switch (parityCode) {
    case 1:
      return 'O';
    case 2:
      return 'E';
    case 3:
      return 'S';
    case 4:
      return 'M';
    default:
      return 'N';
  }
}

}  // namespace

CSerialPort::CSerialPort(IClock& clock, std::unique_ptr<ISerialDevice> device)
    : clock_(clock), device_(std::move(device)) {}

CSerialPort::~CSerialPort() {
  Close();
  // A pump that missed its stop still uses this object: wait for it rather
  // than leave it running on freed memory.
  if (pump_.joinable()) {
    device_->Wake();
    stopRequested_.notify_all();
    pump_.join();
  }
}

std::string CSerialPort::DevicePathFor(int portNumber) const {
  if (!deviceOverride_.empty()) {
    return deviceOverride_;
  }
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

bool CSerialPort::Open(int portNumber, std::uint32_t baud, int dataBits, int stopBits, int parityCode) {
  if (device_->IsOpen()) {
    Close();
  }
  devicePath_ = DevicePathFor(portNumber);
  openFailed_ = false;
  if (int error = device_->Open(devicePath_); error != 0) {
    openFailed_ = true;
    KeepError(error);
    return false;
  }
  // Only a device that opened again is back: a failed open leaves it lost.
  deviceLost_.store(false);
  LineSettings line{baud, dataBits, stopBits, ParityLetter(parityCode)};
  if (int error = device_->Configure(line); error != 0) {
    KeepError(error);
    return false;
  }
  line_ = line;
  TraceLine();
  ForgetEndedPump();
  if (!pumpRecorded_) {
    StartPump();
  }
  return true;
}

void CSerialPort::Close() {
  StopPump();
  device_->Close();
  openFailed_ = false;
}

bool CSerialPort::IsOpen() const {
  return device_->IsOpen();
}

bool CSerialPort::SetBaudRate(std::uint32_t newBaud, std::uint32_t& previousBaud) {
  previousBaud = 0;
  if (!IsOpen()) {
    return false;
  }
  previousBaud = line_.baud;
  if (int error = device_->SetBaudRate(newBaud); error != 0) {
    KeepError(error);
    return false;
  }
  line_.baud = newBaud;
  settings.baud = std::to_string(newBaud);
  TraceLine();
  return true;
}

bool CSerialPort::SetDataBits(std::uint8_t newBits, std::uint8_t& previousBits) {
  previousBits = 0;
  if (!IsOpen()) {
    return false;
  }
  previousBits = static_cast<std::uint8_t>(line_.dataBits);
  if (int error = device_->SetDataBits(newBits); error != 0) {
    KeepError(error);
    return false;
  }
  line_.dataBits = newBits;
  settings.dataBits = std::to_string(newBits);
  TraceLine();
  return true;
}

void CSerialPort::TraceLine() const {
  if (trace_ != nullptr) trace_->LineSpeed(line_.baud, line_.dataBits);
}

bool CSerialPort::SetDtr(bool on) {
  return SetLine(ModemLine::Dtr, on);
}

bool CSerialPort::SetRts(bool on) {
  return SetLine(ModemLine::Rts, on);
}

bool CSerialPort::SetLine(ModemLine line, bool on) {
  if (!IsOpen()) {
    if (openFailed_) {
      KeepError(EBADF);
    }
    return false;
  }
  if (int error = device_->SetModemLine(line, on); error != 0) {
    KeepError(error);
    return false;
  }
  return true;
}

bool CSerialPort::GetModemStatus(int& cts, int& dsr, int& ring, int& carrierDetect) {
  cts = dsr = ring = carrierDetect = 0;
  if (!IsOpen()) {
    if (openFailed_) {
      KeepError(EBADF);
    }
    return false;
  }
  ModemStatus status;
  if (int error = device_->GetModemStatus(status); error != 0) {
    KeepError(error);
    return false;
  }
  cts = status.cts ? 1 : 0;
  dsr = status.dsr ? 1 : 0;
  ring = status.ring ? 1 : 0;
  carrierDetect = status.carrierDetect ? 1 : 0;
  return true;
}

int CSerialPort::GetPortNumber() const {
  return static_cast<int>(std::strtol(settings.port.c_str(), nullptr, 10));
}

void CSerialPort::PumpPendingMessages() {
  if (owner_ != nullptr) {
    owner_->PumpPendingMessages();
  }
}

void CSerialPort::KeepError(int error) {
  lastError_.store(error);
}
