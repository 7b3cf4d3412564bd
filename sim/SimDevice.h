#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "serial/SerialDevice.h"
#include "sim/UpsSimulator.h"
#include "sim/VirtualClock.h"

// The simulated UPS where the tty stands, on the virtual clock. Write() hands
// bytes to the simulator at the virtual time; replies are delivered by clock
// events; the clock's settle hook waits (real time, at most kSettleMs) until
// the pump has read every delivered byte and is back in WaitEvent, or reads
// no more (stopped, or parked after a hang-up), so runs are repeatable. Both the clock and the simulator must
// outlive the device.
//
//   CVirtualClock clock;  CUpsSimulator ups(profile);
//   auto device = std::make_unique<CSimDevice>(clock, ups);
//   CSimDevice* line = device.get();  CSerialPort port(clock, std::move(device));
//   line->Unplug();  line->Replug();
class CSimDevice final : public ISerialDevice {
 public:
  static constexpr int kSettleMs = 2000;

  // withPump false: nobody calls WaitEvent (tests that Read directly).
  CSimDevice(CVirtualClock& clock, CUpsSimulator& ups, bool withPump = true);
  ~CSimDevice() override;

  int Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override;
  int Configure(const LineSettings& settings) override;
  int SetBaudRate(std::uint32_t baud) override;
  int SetDataBits(int dataBits) override;
  int SetModemLine(ModemLine line, bool on) override;
  int GetModemStatus(ModemStatus& status) override;
  int Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) override;
  int Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override;
  DeviceEvent WaitEvent() override;
  void Wake() override;
  void PumpParked() override;
  void PumpEnded() override;

  // The adapter is pulled: the pump sees a hang-up, Open fails until Replug.
  void Unplug();
  void Replug();
  SimHostLine HostLine() const;

 private:
  void Schedule(std::vector<SimOutput> outputs);
  void Deliver(const SimOutput& output);
  void Settle();
  std::int64_t NowUs() const { return clock_.NowMs() * 1000; }

  CVirtualClock& clock_;
  CUpsSimulator& ups_;
  const bool withPump_;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::uint8_t> rx_;
  SimHostLine host_;
  bool open_ = false;
  bool unplugged_ = false;
  bool hungUp_ = false;
  bool wake_ = false;
  bool pumpAttached_ = false;
  bool pumpWaiting_ = false;
  bool stopUnanswered_ = false;  // woken to stop, and not yet ended
  std::uint64_t session_ = 0;    // replies scheduled before a Close are dropped
};
