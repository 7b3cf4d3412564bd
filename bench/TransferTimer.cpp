// tobrane-transfer-timer DEVICE BAUD RUNS: the throughput figures of
// bench_ProgramBench without Google Benchmark, so that they can be taken on
// Windows (and under Wine) too. The UPS is already waiting on DEVICE at BAUD
// (bench/wine-throughput.sh starts tobrane-upssim); the image and the model
// table go into the current directory. Programs the image RUNS times (verify
// off), then verifies it RUNS times, and prints for each command
// "NAME DATA_BYTES_PER_S MEAN_SECONDS RATIO_TO_WIRE_LIMIT".
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/CommandIds.h"
#include "bench/BenchLoader.h"
#include "frontend/PlatformPort.h"

namespace {

// Mean seconds of the runs, or a negative number when one failed.
double MeanSeconds(CBenchLoader& loader, int command, int runs) {
  double total = 0;
  for (int i = 0; i < runs; ++i) {
    double seconds = 0;
    if (!loader.Timed(command, seconds)) return -1;
    total += seconds;
  }
  return total / runs;
}

bool Report(CBenchLoader& loader, const char* name, int command, std::uint32_t baud, int runs) {
  const double mean = MeanSeconds(loader, command, runs);
  if (mean <= 0) {
    std::fprintf(stderr, "tobrane-transfer-timer: %s failed: %s\n", name, loader.LastBox().c_str());
    return false;
  }
  std::printf("%s %.0f %.2f %.3f\n", name, kBenchImageBytes / mean, mean,
              WireLimitSeconds(command, baud) / mean);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const long baud = argc == 4 ? std::strtol(argv[2], nullptr, 10) : 0;
  const int runs = argc == 4 ? std::atoi(argv[3]) : 0;
  if (baud <= 0 || runs <= 0) {
    std::fprintf(stderr, "usage: tobrane-transfer-timer DEVICE BAUD RUNS\n");
    return 2;
  }
  CBenchLoader loader(std::filesystem::current_path(), argv[1], static_cast<std::uint32_t>(baud),
                      MakeSerialDevice());
  if (!loader.Ready()) {
    std::fprintf(stderr, "tobrane-transfer-timer: the UPS on %s did not answer\n", argv[1]);
    return 1;
  }
  const bool ok = Report(loader, "program", kCmdProgram, static_cast<std::uint32_t>(baud), runs) &&
                  Report(loader, "verify", kCmdVerify, static_cast<std::uint32_t>(baud), runs);
  return ok ? 0 : 1;
}
