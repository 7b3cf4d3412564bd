// Real-time figures of the port over a pty: how long a byte written on the
// master takes to reach the receiver, and what an idle open port costs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "serial/SerialPort.h"
#include "serial/TermiosDevice.h"

namespace {

class CArrivalCounter final : public IByteReceiver {
 public:
  void ReceiveBytes(const std::uint8_t*, std::uint32_t count) override {
    received.fetch_add(count);
    received.notify_one();
  }
  std::atomic<std::uint64_t> received{0};
};

struct PtyPort {
  PtyPort() : port(clock, std::make_unique<CTermiosDevice>()) {
    int slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
      close(slave);
      port.SetDeviceOverride(name);
      port.SetReceiver(&counter);
      opened = port.Open(1, 115200, 8, 1, 0);
    }
  }
  ~PtyPort() {
    port.Close();
    if (master >= 0) {
      close(master);
    }
  }
  int master = -1;
  bool opened = false;
  CSystemClock clock;
  CArrivalCounter counter;
  CSerialPort port;
};

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void BM_MasterWriteToReceiveBytes(benchmark::State& state) {
  PtyPort p;
  if (!p.opened) {
    state.SkipWithError("no pty");
    return;
  }
  std::vector<double> latenciesUs;
  const std::uint8_t byte = 0x55;
  for (auto _ : state) {
    std::uint64_t before = p.counter.received.load();
    auto start = std::chrono::steady_clock::now();
    if (write(p.master, &byte, 1) != 1) {
      state.SkipWithError("write failed");
      return;
    }
    while (p.counter.received.load() == before) {
      p.counter.received.wait(before);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    latenciesUs.push_back(std::chrono::duration<double, std::micro>(elapsed).count());
  }
  std::sort(latenciesUs.begin(), latenciesUs.end());
  state.counters["median_us"] = latenciesUs[latenciesUs.size() / 2];
  state.counters["p99_us"] = latenciesUs[latenciesUs.size() * 99 / 100];
}
BENCHMARK(BM_MasterWriteToReceiveBytes)->Iterations(2000);

// The main thread sleeps, so the process CPU time is the pump's.
void BM_IdleOpenPortCpu(benchmark::State& state) {
  PtyPort p;
  if (!p.opened) {
    state.SkipWithError("no pty");
    return;
  }
  double cpu = 0;
  for (auto _ : state) {
    double before = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    cpu = ProcessCpuSeconds() - before;
  }
  state.counters["cpu_ms_per_s"] = cpu * 1000.0;
}
BENCHMARK(BM_IdleOpenPortCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
