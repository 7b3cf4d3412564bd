#include <benchmark/benchmark.h>

#include <vector>

#include "protocol/ReceiveState.h"
#include "protocol/UpsLink.h"

namespace {

// A one-frame reply of 135 data bytes: 139 bytes on the wire, the size of a
// full read-back block with its header.
std::vector<std::uint8_t> Reply139() {
  std::vector<std::uint8_t> frame{0xAB, 0xC9, 135, 0x81};
  for (int i = 0; i < 135; ++i) frame.push_back(static_cast<std::uint8_t>(i * 7));
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame) sum += b;
  frame.push_back(static_cast<std::uint8_t>(0x100 - sum));
  return frame;
}

// The pump's work for one reply (two chunks, as the port delivers 80 at a
// time) followed by the waiting thread's decode.
void BM_ReceiveAndDecode139(benchmark::State& state) {
  const std::vector<std::uint8_t> reply = Reply139();
  CReceiveState rx;
  const CUpsLink link;
  std::uint8_t out[300];
  for (auto _ : state) {
    rx.SetReceiveMode(kModeFrame, true);
    rx.ReceiveBytes(reply.data(), 80);
    rx.ReceiveBytes(reply.data() + 80, static_cast<std::uint32_t>(reply.size() - 80));
    std::uint16_t count = 0;
    std::uint8_t error = 0;
    std::uint8_t block = 0;
    const bool ok =
        link.DecodeFrames(rx.ReceiveBuffer(), rx.ReceiveLength(), out, sizeof out, count, error, block);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(out[0]);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(reply.size()));
}
BENCHMARK(BM_ReceiveAndDecode139);

}  // namespace
