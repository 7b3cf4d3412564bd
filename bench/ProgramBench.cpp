// Real-time throughput of Program UPS and Verify Program: a 64 KiB image
// against tobrane-upssim on its pseudo-terminal, replies and requests paced
// at the line speed. The figure that matters is the ratio to the
// stop-and-wait limit of the wire: every frame byte both ways at 10 bits per
// byte, one block in flight.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "app/CommandIds.h"
#include "bench/BenchLoader.h"
#include "serial/TermiosDevice.h"
#include "sim/SimProcess.h"

namespace fs = std::filesystem;

namespace {

// A UPS at a fixed speed, without Plug-and-Play, with one 64 KiB code space.
nlohmann::json BenchProfile(std::uint32_t baud) {
  nlohmann::json profile = BundledProfileJson("no-pnp-19200");
  profile["startBaud"] = baud;
  profile["switchesSpeed"] = false;
  // The reset after each run leaves service mode; the next run must still start.
  profile["unit"]["serviceMode"]["requiredForFlash"] = false;
  profile["unit"]["cpus"][0]["spaces"] = nlohmann::json::parse(
      R"([{"descriptor": "0x33", "maxBlock": 128, "start": "0x00020000", "size": "0x00010000"}])");
  return profile;
}

// The simulator, then the loader over its pty.
struct BenchRig {
  BenchRig(const fs::path& dir, std::uint32_t baud)
      : running(sim.Start(WriteProfile(dir, "bench", BenchProfile(baud)), dir)),
        loader(dir, sim.Device(), baud, std::make_unique<CTermiosDevice>()) {}
  ~BenchRig() { sim.Stop(); }

  CSimProcess sim;
  bool running;
  CBenchLoader loader;
};

class CBenchDir {
 public:
  CBenchDir() : path_(fs::temp_directory_path() / ("tobrane-bench-" + std::to_string(::getpid()))) {
    fs::create_directories(path_);
    previous_ = fs::current_path();
    fs::current_path(path_);
  }
  ~CBenchDir() {
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
  fs::path previous_;
};

void RunTransfer(benchmark::State& state, int command) {
  const auto baud = static_cast<std::uint32_t>(state.range(0));
  CBenchDir dir;
  BenchRig rig(dir.Path(), baud);
  CBenchLoader& loader = rig.loader;
  if (!rig.running || !loader.Ready()) {
    state.SkipWithError("the simulator did not start or did not answer");
    return;
  }
  double total = 0;
  double untimed = 0;
  // There must be an image in flash to read back.
  if (command == kCmdVerify && !loader.Timed(kCmdProgram, untimed)) {
    state.SkipWithError(("programming failed: " + loader.LastBox()).c_str());
    return;
  }
  for (auto _ : state) {
    double seconds = 0;
    if (!loader.Timed(command, seconds)) {
      state.SkipWithError(("the run failed: " + loader.LastBox()).c_str());
      return;
    }
    state.SetIterationTime(seconds);
    total += seconds;
  }
  const double runs = static_cast<double>(state.iterations());
  const double limitSeconds = WireLimitSeconds(command, baud);
  state.counters["data_bytes_per_s"] = kBenchImageBytes * runs / total;
  state.counters["ratio_to_wire_limit"] = limitSeconds * runs / total;
}

void BM_ProgramImage(benchmark::State& state) {
  RunTransfer(state, kCmdProgram);
}

void BM_VerifyImage(benchmark::State& state) {
  RunTransfer(state, kCmdVerify);
}

}  // namespace

BENCHMARK(BM_ProgramImage)->Arg(19200)->Arg(115200)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_VerifyImage)->Arg(19200)->Arg(115200)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);
