#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "protocol/ReceiveState.h"
#include "protocol/UpsLink.h"

namespace {

struct Response {
  std::vector<std::uint8_t> wire;
  std::vector<std::uint8_t> data;
  std::uint8_t block = 0;
};

// A valid response of 1 to 5 frames with 0 to 140 data bytes each.
Response RandomResponse(std::mt19937& rng) {
  Response r;
  r.block = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, 255)(rng));
  const int frames = std::uniform_int_distribution<int>(1, 5)(rng);
  for (int f = 1; f <= frames; ++f) {
    const int n = std::uniform_int_distribution<int>(0, kMaxFrameDataBytes)(rng);
    const auto seq = static_cast<std::uint8_t>(f | (f == frames ? 0x80 : 0));
    std::vector<std::uint8_t> frame{0xAB, r.block, static_cast<std::uint8_t>(n), seq};
    for (int i = 0; i < n; ++i) frame.push_back(static_cast<std::uint8_t>(rng()));
    r.data.insert(r.data.end(), frame.begin() + 4, frame.end());
    std::uint8_t sum = 0;
    for (std::uint8_t b : frame) sum += b;
    frame.push_back(static_cast<std::uint8_t>(0x100 - sum));
    r.wire.insert(r.wire.end(), frame.begin(), frame.end());
  }
  return r;
}

}  // namespace

// Any valid response in any chunking completes at exactly its last byte and decodes back to its data.
TEST(ReceiveProperty, RandomResponsesInRandomChunks) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 2000; ++round) {
    const Response r = RandomResponse(rng);
    CReceiveState rx;
    rx.SetReceiveMode(kModeFrame, true);
    std::size_t fed = 0;
    while (fed < r.wire.size()) {
      ASSERT_EQ(rx.ReceiveMode(), kModeFrame) << "round " << round << " ended early at " << fed;
      const std::size_t chunk =
          std::min<std::size_t>(std::uniform_int_distribution<int>(1, 80)(rng), r.wire.size() - fed);
      rx.ReceiveBytes(r.wire.data() + fed, static_cast<std::uint32_t>(chunk));
      fed += chunk;
    }
    ASSERT_EQ(rx.ReceiveMode(), kModeIdle) << "round " << round;
    ASSERT_EQ(rx.ReceiveLength(), r.wire.size());
    std::vector<std::uint8_t> out(700);
    std::uint16_t count = 0;
    std::uint8_t error = 0xFF;
    std::uint8_t block = 0;
    ASSERT_TRUE(CUpsLink().DecodeFrames(rx.ReceiveBuffer(), rx.ReceiveLength(), out.data(), 700, count, error,
                                        block));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(block, r.block);
    ASSERT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + count), r.data) << "round " << round;
  }
}

// Garbage never makes the assembly or the decoder leave their buffers (exact-size heap copies for ASan).
TEST(ReceiveProperty, GarbageStaysInBounds) {
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    const int length = std::uniform_int_distribution<int>(0, 700)(rng);
    std::vector<std::uint8_t> garbage(length);
    for (auto& b : garbage) b = rng() % 4 == 0 ? 0xAB : static_cast<std::uint8_t>(rng());
    CReceiveState rx;
    rx.SetReceiveMode(round % 2 ? kModeFrame : kModePlugAndPlay, true);
    for (int fed = 0; fed < length;) {
      const int chunk = std::min(std::uniform_int_distribution<int>(1, 80)(rng), length - fed);
      auto piece = std::make_unique<std::uint8_t[]>(chunk);
      std::copy_n(garbage.data() + fed, chunk, piece.get());
      rx.ReceiveBytes(piece.get(), static_cast<std::uint32_t>(chunk));
      fed += chunk;
    }
    ASSERT_LE(rx.ReceiveLength(), CReceiveState::kBufferSize);
    const auto capacity = static_cast<std::uint16_t>(std::uniform_int_distribution<int>(0, 300)(rng));
    auto source = std::make_unique<std::uint8_t[]>(length);
    std::copy_n(garbage.data(), length, source.get());
    auto out = std::make_unique<std::uint8_t[]>(capacity);
    std::uint16_t count = 0;
    std::uint8_t error = 0;
    std::uint8_t block = 0;
    const bool ok = CUpsLink().DecodeFrames(source.get(), static_cast<std::uint16_t>(length), out.get(),
                                            capacity, count, error, block);
    ASSERT_LE(count, capacity);
    ASSERT_EQ(ok, error == 0);
    ASSERT_LE(error, 6);
  }
}

// A reply assembled on another thread is complete when the waiting thread sees the mode change.
TEST(ReceiveProperty, ModeChangePublishesTheWholeReply) {
  std::mt19937 rng(3);
  for (int round = 0; round < 200; ++round) {
    const Response r = RandomResponse(rng);
    CReceiveState rx;
    rx.SetReceiveMode(kModeFrame, true);
    std::thread pump([&] {
      for (std::size_t fed = 0; fed < r.wire.size(); fed += 80) {
        const auto chunk = static_cast<std::uint32_t>(std::min<std::size_t>(80, r.wire.size() - fed));
        rx.ReceiveBytes(r.wire.data() + fed, chunk);
      }
    });
    const bool changed =
        rx.ModeChanged().WaitFor(std::chrono::seconds(10), [&] { return rx.ReceiveMode() != kModeFrame; });
    ASSERT_TRUE(changed);
    EXPECT_EQ(rx.ReceiveLength(), r.wire.size());
    EXPECT_EQ(std::vector<std::uint8_t>(rx.ReceiveBuffer(), rx.ReceiveBuffer() + rx.ReceiveLength()), r.wire);
    pump.join();
  }
}
