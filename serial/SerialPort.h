#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "seams/ByteReceiver.h"
#include "seams/ByteSink.h"
#include "seams/Clock.h"
#include "seams/FrameTrace.h"
#include "seams/PortOwner.h"
#include "serial/SerialDevice.h"

// The port's copy of the serial settings, as the settings store holds them.
struct SerialSettingsTexts {
  std::string baud;
  std::string parity;
  std::string dataBits;
  std::string stopBits;
  std::string port;
};

// Parity codes 0 to 4 stand for these letters, in this order.
inline constexpr char kParityLetters[] = "NOESM";
// A settings text as a number: leading blanks, an optional sign, decimal
// digits; the rest is ignored and no digits give 0. Saturates instead of
// overflowing on absurd inputs.
long SettingsInteger(const std::string& text);
// The parity code of a settings text by its first letter, either case; 0
// (none) for any other.
int ParityCode(const std::string& text);
// The first value no serial line takes (a speed of 0, data bits outside 5 to
// 8, stop bits other than 1 or 2); None when every value is possible. Decided
// here, so that each backend names a stored DataBits of 9 alike.
LineSetting OutOfRangeSetting(const LineSettings& line);

// Owns the line to the UPS: open/close, line settings, control lines, the
// receive pump and the byte-write path. The pump's body is a step that the
// device's runner drives.
class CSerialPort : public IByteSink, private IPumpStep {
 public:
  // The pump runs on a thread of its own unless `runner` is given: a device
  // with a clock of its own (the simulated line) steps it itself.
  CSerialPort(IClock& clock, std::unique_ptr<ISerialDevice> device,
              std::unique_ptr<IPumpRunner> runner = nullptr);
  virtual ~CSerialPort();

  bool Open(int portNumber, std::uint32_t baud, int dataBits, int stopBits, int parityCode);
  void Close();
  bool IsOpen() const;
  bool SetBaudRate(std::uint32_t newBaud, std::uint32_t& previousBaud);
  bool SetDataBits(std::uint8_t newBits, std::uint8_t& previousBits);
  bool SetModemLine(ModemLine line, bool on);
  bool GetModemStatus(ModemStatus& status);
  int GetPortNumber() const;
  bool WriteByte(std::uint8_t byte) override;
  void EndFrame() override;

  void SetReceiver(IByteReceiver* receiver) { receiver_.store(receiver, std::memory_order_release); }
  void SetOwner(IPortOwner* owner) { owner_ = owner; }
  // Sees every change of line speed; nullptr for none.
  void SetTrace(IFrameTrace* trace) { trace_ = trace; }
  PortError LastError() const { return lastError_.load(); }
  // What the device refused when the last Open opened it but could not
  // configure it; None otherwise. The device then stays open.
  LineSetting RefusedSetting() const { return refused_; }
  // The setting the port was asked for that RefusedSetting names, e.g. "9".
  std::string RefusedValue() const;
  // The device's own words on its last failure, if it has any.
  std::string LastErrorDetail() const { return device_->FailureDetail(); }

  // A device path that replaces the "COM%i" mapping; empty restores it.
  void SetDeviceOverride(const std::string& path) { deviceOverride_ = path; }
  // The device Open(portNumber) opens: the override, or the platform's name for COMn.
  std::string DevicePathFor(int portNumber) const;
  // The device the port was last asked to open.
  const std::string& DevicePath() const { return devicePath_; }
  // The pump saw the device vanish (hang-up or I/O error) since the last
  // Open that opened the device.
  bool DeviceLost() const { return deviceLost_.load(); }

  SerialSettingsTexts settings;

 private:
  void StartPump();
  void StopPump();
  bool Step(DeviceEvent event) override;
  bool Receive(DeviceEvent event);
  // True for no error; a failure is kept as the last error.
  bool Succeeded(PortError error);
  // No error, or the failure of the read, which is also kept as last error.
  PortError ReadChunk(std::uint8_t* buffer, std::uint32_t max, std::uint32_t& count);
  bool DeliverChunk();
  void KeepHangUpError();
  void ForgetEndedPump();
  void ForgetStoppedPump();
  void TraceLine() const;

  IClock& clock_;
  std::unique_ptr<ISerialDevice> device_;
  std::unique_ptr<IPumpRunner> pumpRunner_;
  std::atomic<IByteReceiver*> receiver_{nullptr};
  IPortOwner* owner_ = nullptr;
  IFrameTrace* trace_ = nullptr;
  std::atomic<std::int32_t> pumpRunning_{0};
  std::atomic<PortError> lastError_{PortError{}};
  std::atomic<bool> deviceLost_{false};
  // The runner holds a pump that no stop has forgotten yet.
  bool pumpRecorded_ = false;
  std::atomic<bool> pumpEnded_{false};
  // An open was tried and failed: the modem-line calls then reach the closed
  // device and keep its refusal instead of returning quietly.
  bool openFailed_ = false;
  LineSettings line_;
  LineSettings requested_;
  LineSetting refused_ = LineSetting::None;
  std::string deviceOverride_;
  std::string devicePath_;
};
