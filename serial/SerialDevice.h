#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/PortError.h"

// The line options a device is opened or reconfigured with.
struct LineSettings {
  std::uint32_t baud = 19200;
  int dataBits = 8;   // 5 to 8
  int stopBits = 1;   // 1 or 2
  char parity = 'N';  // N, O, E, M or S
};

// The part of a device's configuration that it refused: a stored value out
// of the device's range, or a step of its own set-up.
// NetworkLine: a network server's line that did not confirm a setting, or
// whose connection dropped while it was being set.
enum class LineSetting {
  None,
  BaudRate,
  DataBits,
  StopBits,
  SerialLine,
  Timeouts,
  EventMask,
  ControlLines,
  NetworkLine
};

struct ModemStatus {
  bool cts = false;
  bool dsr = false;
  bool ring = false;
  bool carrierDetect = false;
};

enum class ModemLine { Dtr, Rts };

enum class DeviceEvent {
  Readable,   // bytes are waiting
  LineError,  // framing, overrun or parity error
  Woken,      // Wake() was called
  HungUp,     // the device is gone (unplugged adapter, closed pty master)
};

// What CSerialPort stands on: the termios or the Win32 backend in the
// program, the in-process UPS simulator in tests. Results are no error or
// the failure with its domain.
// Under the default runner, Read and WaitEvent run on the pump thread while
// the other calls run on the user-interface thread; implementations must
// allow that.
class ISerialDevice {
 public:
  virtual ~ISerialDevice() = default;
  // The device that COM port n stands for, in the platform's own naming.
  virtual std::string PortDeviceName(int portNumber) const = 0;
  virtual PortError Open(const std::string& path) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Raw mode, no flow control, DTR and RTS raised.
  virtual PortError Configure(const LineSettings& settings) = 0;
  // Which step the last failed Configure refused; a device that cannot tell
  // says the serial line as a whole.
  virtual LineSetting RefusedSetting() const { return LineSetting::SerialLine; }
  virtual PortError SetBaudRate(std::uint32_t baud) = 0;
  virtual PortError SetDataBits(int dataBits) = 0;
  virtual PortError SetModemLine(ModemLine line, bool on) = 0;
  virtual PortError GetModemStatus(ModemStatus& status) = 0;
  // Never blocks: takes what is buffered, possibly nothing.
  virtual PortError Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) = 0;
  // Bounded in time (a few ms per byte); never waits for the line to drain.
  virtual PortError Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) = 0;
  // The bytes of one frame are written: a device that gathers them sends
  // them now.
  virtual PortError Flush() { return {}; }
  // Blocks until an event; a Wake() from another thread ends the wait at once.
  virtual DeviceEvent WaitEvent() = 0;
  virtual void Wake() = 0;
  // More about the last failure than its code (a network server's own
  // words); empty for none.
  virtual std::string FailureDetail() const { return {}; }
};

// One turn of the receive pump, as its runner sees it.
class IPumpStep {
 public:
  virtual ~IPumpStep() = default;
  // Handles one device event. False once the pump reads no more (it was told
  // to stop, or the device is gone): the runner then calls it no more.
  virtual bool Step(DeviceEvent event) = 0;
};

// Drives the receive pump over one device: in the program a thread that
// blocks in the device's WaitEvent and steps; the simulated line steps
// inline as its events fall due in simulated time.
class IPumpRunner {
 public:
  virtual ~IPumpRunner() = default;
  // False when the runner could not start: the port then receives nothing.
  virtual bool Start(IPumpStep& step) = 0;
  // Ends the wait in progress, so the pump's next step sees its stop.
  virtual void Wake() = 0;
  // Waits until the last step has returned false, and forgets it.
  virtual void Join() = 0;
};

// The platform's backend: the one serial/ file the build picks for the target.
std::unique_ptr<ISerialDevice> MakeSerialDevice();
