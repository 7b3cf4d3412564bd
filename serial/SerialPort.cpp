#include "serial/SerialPort.h"

// Placeholder so the tree links while this file's owner writes it.
CSerialPort::CSerialPort(IClock& clock, std::unique_ptr<ISerialDevice> device)
    : clock_(clock), device_(std::move(device)) {}
CSerialPort::~CSerialPort() = default;
bool CSerialPort::Open(int, std::uint32_t, int, int, int) {
  return false;
}
void CSerialPort::Close() {}
bool CSerialPort::IsOpen() const {
  return false;
}
bool CSerialPort::SetBaudRate(std::uint32_t, std::uint32_t& previousBaud) {
  previousBaud = 0;
  return false;
}
bool CSerialPort::SetDataBits(std::uint8_t, std::uint8_t& previousBits) {
  previousBits = 0;
  return false;
}
bool CSerialPort::SetDtr(bool) {
  return false;
}
bool CSerialPort::SetRts(bool) {
  return false;
}
bool CSerialPort::GetModemStatus(int& cts, int& dsr, int& ring, int& carrierDetect) {
  cts = dsr = ring = carrierDetect = 0;
  return false;
}
int CSerialPort::GetPortNumber() const {
  return 0;
}
bool CSerialPort::WriteByte(std::uint8_t) {
  return false;
}
bool CSerialPort::ReadAvailable(std::uint8_t*, std::uint32_t, std::uint32_t& count) {
  count = 0;
  return false;
}
void CSerialPort::PumpPendingMessages() {}
std::string CSerialPort::DevicePathFor(int) const {
  return {};
}
