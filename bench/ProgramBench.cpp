// Real-time throughput of Program UPS and Verify Program: a 64 KiB image
// against tobrane-upssim on its pseudo-terminal, replies and requests paced
// at the line speed. The figure that matters is the ratio to the
// stop-and-wait limit of the wire: every frame byte both ways at 10 bits per
// byte, one block in flight.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "app/SettingsStore.h"
#include "serial/TermiosDevice.h"
#include "sim/SampleRom.h"
#include "tests/e2e/SimProcess.h"
#include "tests/support/SilentView.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kImageBytes = 64 * 1024;
constexpr std::uint32_t kLoadAddress = 0x20000;
constexpr std::uint32_t kBlock = 128;
constexpr double kBitsPerByte = 10;

// Frame sizes on the wire: start byte, header, data, checksum.
constexpr double kProgramRequest = 11 + kBlock;  // AB len C9 'W' module descriptor address(4) data ck
constexpr double kProgramReply = 6;              // AB block len seq 'W' ck
constexpr double kReadRequest = 15;              // AB len C9 'R' module descriptor address(4) count(4) ck
constexpr double kReadReply = 5 + 11 + kBlock;   // AB block len seq, the request's 11 bytes, data, ck
constexpr double kStartFlash = 15 + 6;
constexpr double kEndFlash = 6 + 6;
constexpr double kReset = 5;
constexpr double kBlocks = kImageBytes / kBlock;

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

// The loader in this process over the simulator's pty, identified and with
// its flash spaces read, as a Connect leaves it.
struct BenchLoader {
  BenchLoader(const fs::path& dir, std::uint32_t baud) {
    std::ofstream(dir / "OEMModel.ini") << "[0]\n1 = Placeholder\n500 = Tobrane 500\n";
    image = (dir / "image.rom").string();
    const std::vector<std::uint8_t> rom = BuildSampleRom({.load = kLoadAddress, .size = kImageBytes});
    std::ofstream(image, std::ios::binary).write(reinterpret_cast<const char*>(rom.data()), rom.size());
    running = sim.Start(WriteProfile(dir, "bench", BenchProfile(baud)), dir);
    store.Write("Serial", "Device", sim.Device());
    store.Write("Serial", "BaudRate", std::to_string(baud));
    store.Write("Config", "Verify", "N");
    app = std::make_unique<CLoaderApp>(store, clock, std::make_unique<CTermiosDevice>());
    app->Start("");
    frame = std::make_unique<CMainFrame>(*app, view);
    app->AttachMainWindow(*frame);
    frame->Create();
    ready = running && frame->IdentificationStep() != 0;
    frame->ServiceModeStep();
    ready = ready && frame->FlashCapabilitiesStep() != 0;
    frame->Connection().connected = 1;
  }
  ~BenchLoader() {
    frame.reset();
    app.reset();
    sim.Stop();
  }

  // Opens the image and times one command on it; false when it failed.
  bool Timed(int command, double& seconds) {
    if (frame->OpenNamedFile(image) != 1 || frame->Rom().selectedSpace == 0) return false;
    view.colour = StatusColour::Ok;
    const auto start = std::chrono::steady_clock::now();
    frame->RunCommand(command);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return view.colour == StatusColour::Ok && view.lastBox.empty();
  }

  CSimProcess sim;
  CMemorySettingsStore store;
  CSystemClock clock;
  CSilentView view;
  std::unique_ptr<CLoaderApp> app;
  std::unique_ptr<CMainFrame> frame;
  std::string image;
  bool running = false;
  bool ready = false;
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

void RunTransfer(benchmark::State& state, int command, double wireBytes) {
  const auto baud = static_cast<std::uint32_t>(state.range(0));
  CBenchDir dir;
  BenchLoader loader(dir.Path(), baud);
  if (!loader.ready) {
    state.SkipWithError("the simulator did not start or did not answer");
    return;
  }
  double total = 0;
  double untimed = 0;
  // There must be an image in flash to read back.
  if (command == kCmdVerify && !loader.Timed(kCmdProgram, untimed)) {
    state.SkipWithError(("programming failed: " + loader.view.lastBox).c_str());
    return;
  }
  for (auto _ : state) {
    double seconds = 0;
    if (!loader.Timed(command, seconds)) {
      state.SkipWithError(("the run failed: " + loader.view.lastBox).c_str());
      return;
    }
    state.SetIterationTime(seconds);
    total += seconds;
  }
  const double runs = static_cast<double>(state.iterations());
  const double limitSeconds = wireBytes * kBitsPerByte / baud;
  state.counters["data_bytes_per_s"] = kImageBytes * runs / total;
  state.counters["ratio_to_wire_limit"] = limitSeconds * runs / total;
}

void BM_ProgramImage(benchmark::State& state) {
  RunTransfer(state, kCmdProgram,
              kStartFlash + kBlocks * (kProgramRequest + kProgramReply) + kEndFlash + kReset);
}

void BM_VerifyImage(benchmark::State& state) {
  RunTransfer(state, kCmdVerify, kBlocks * (kReadRequest + kReadReply));
}

}  // namespace

BENCHMARK(BM_ProgramImage)->Arg(19200)->Arg(115200)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_VerifyImage)->Arg(19200)->Arg(115200)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);
