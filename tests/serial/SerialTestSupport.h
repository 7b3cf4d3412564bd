#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/ReceiveState.h"
#include "resources/Strings.h"
#include "serial/SerialDevice.h"
#include "serial/SerialPort.h"
#include "sim/VirtualClock.h"

// Polls until done() or a second of real time has passed; false on time-out.
// Bounded by the clock rather than by a count of short sleeps, which Windows
// may round down to nothing.
template <typename Done>
bool WaitUntilTrue(Done done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

// Collects what the pump delivers, chunk by chunk.
class CChunkCollector final : public IByteReceiver {
 public:
  void ReceiveBytes(const std::uint8_t* bytes, std::uint32_t count) override;
  // Waits (real time, bounded) until at least total bytes have arrived.
  bool WaitForBytes(std::size_t total);
  std::vector<std::size_t> ChunkSizes();
  std::vector<std::uint8_t> Bytes();

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::size_t> chunks_;
  std::vector<std::uint8_t> bytes_;
};

// The program's runner, a thread stepping the pump on each device event,
// that also tells whether a pump runs and whether a stop still waits for it.
class CWatchedRunner final : public IPumpRunner {
 public:
  explicit CWatchedRunner(ISerialDevice& device) : device_(device) {}
  ~CWatchedRunner() override {
    if (!thread_.joinable()) return;
    device_.Wake();
    thread_.join();
  }
  bool Start(IPumpStep& step) override {
    woken_ = false;
    running_ = true;
    thread_ = std::thread([this, &step] {
      while (step.Step(device_.WaitEvent())) {
      }
      running_ = false;
    });
    return true;
  }
  void Wake() override {
    woken_ = true;
    device_.Wake();
  }
  void Join() override { thread_.join(); }
  bool Running() const { return running_; }
  bool StopPending() const { return woken_ && running_; }

 private:
  ISerialDevice& device_;
  std::thread thread_;
  std::atomic<bool> woken_{false};
  std::atomic<bool> running_{false};
};

// The virtual clock for a port whose pump is a real thread: before and after
// each step, the settle function may wait (in real time) for that thread.
class CSettlingClock final : public IClock {
 public:
  void SleepMs(int ms) override;
  std::int64_t NowMs() override { return clock_.NowMs(); }
  std::int64_t WallSeconds() override { return clock_.WallSeconds(); }
  void WaitFor(int ms, CSignal& signal, const std::function<bool()>& changed) override;
  void SetSettle(std::function<void()> settle) { settle_ = std::move(settle); }

 private:
  void Settle();

  CVirtualClock clock_;
  std::function<void()> settle_;
};

// A scripted device: the test feeds input and sets the results of the calls.
class CFakeDevice final : public ISerialDevice {
 public:
  PortError Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override;
  PortError Configure(const LineSettings& settings) override;
  PortError SetBaudRate(std::uint32_t baud) override;
  PortError SetDataBits(int dataBits) override;
  PortError SetModemLine(ModemLine line, bool on) override;
  PortError GetModemStatus(ModemStatus& status) override;
  PortError Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) override;
  PortError Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override;
  DeviceEvent WaitEvent() override;
  void Wake() override;
  // Names ports as a Linux tty does, on every platform.
  std::string PortDeviceName(int portNumber) const override {
    return "/dev/ttyS" + std::to_string(portNumber - 1);
  }

  void Feed(const std::vector<std::uint8_t>& bytes);
  void HangUp();
  // While deaf, Wake() does not end a wait: the pump misses its stop.
  void SetDeaf(bool deaf);
  bool WaitUntilDrained();
  // Until the pump has entered its first wait.
  bool WaitUntilWaiting();
  int WaitCount();

  std::string openedPath;
  LineSettings line;
  int openError = 0;
  int callError = 0;  // the result of every line and modem call
  ModemStatus status;
  bool dtr = false;
  bool rts = false;
  std::vector<std::uint8_t> written;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::uint8_t> input_;
  bool open_ = false;
  bool woken_ = false;
  bool deaf_ = false;
  bool hungUp_ = false;
  int waits_ = 0;
  int emptiedAtWait_ = -1;
};

class CRecordingOwner final : public IPortOwner {
 public:
  void PumpStopFailed() override { messages.push_back(Text(kStrFailedToStopPump)); }
  void PumpPendingMessages() override { ++pumps; }
  std::vector<std::string> messages;
  int pumps = 0;
};
