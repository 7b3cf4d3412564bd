#pragma once

#include <deque>

#include "serial/SerialDevice.h"
#include "sim/UpsSimulator.h"
#include "sim/VirtualClock.h"

// The simulated UPS where the tty stands, on the virtual clock. Write() hands
// bytes to the simulator at the virtual time; replies are delivered by clock
// events. The receive pump runs inline, on the thread that drives the clock:
// a delivery steps it at once, a hang-up or a wake-up at the next clock step,
// as a pump thread would have seen them by then. So when a step of the clock
// returns, the pump has taken every byte delivered, and runs are repeatable
// without threads. Both the clock and the simulator must outlive the device.
//
//   CVirtualClock clock;  CUpsSimulator ups(profile);
//   auto device = std::make_unique<CSimDevice>(clock, ups);
//   CSimDevice* line = device.get();
//   CSerialPort port(clock, std::move(device), line->MakePumpRunner());
//   line->Unplug();  line->Replug();
class CSimDevice final : public ISerialDevice {
 public:
  CSimDevice(CVirtualClock& clock, CUpsSimulator& ups) : clock_(clock), ups_(ups) {}

  PortError Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  PortError Configure(const LineSettings& settings) override;
  PortError SetBaudRate(std::uint32_t baud) override;
  PortError SetDataBits(int dataBits) override;
  PortError SetModemLine(ModemLine line, bool on) override;
  PortError GetModemStatus(ModemStatus& status) override;
  PortError Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) override;
  PortError Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override;
  // Takes the pending event without blocking: the inline pump asks only when
  // there is one.
  DeviceEvent WaitEvent() override;
  void Wake() override;
  // The simulated line answers to any name.
  std::string PortDeviceName(int portNumber) const override { return "COM" + std::to_string(portNumber); }
  // The runner to hand the port with this device: the line steps the pump
  // itself, inline, as its events fall due.
  std::unique_ptr<IPumpRunner> MakePumpRunner();

  // The adapter is pulled: the pump sees a hang-up, Open fails until Replug.
  void Unplug();
  void Replug() { unplugged_ = false; }
  SimHostLine HostLine() const { return host_; }

 private:
  class CInlinePump;

  void Schedule(std::vector<SimOutput> outputs);
  void Deliver(const SimOutput& output);
  void RunPump();
  void RunPumpAtNextStep();
  std::int64_t NowUs() const { return clock_.NowMs() * 1000; }

  CVirtualClock& clock_;
  CUpsSimulator& ups_;
  IPumpStep* pump_ = nullptr;  // the started pump, until it ends
  std::deque<std::uint8_t> rx_;
  SimHostLine host_;
  bool open_ = false;
  bool unplugged_ = false;
  bool hungUp_ = false;
  bool wake_ = false;
  std::uint64_t session_ = 0;  // replies scheduled before a Close are dropped
};
