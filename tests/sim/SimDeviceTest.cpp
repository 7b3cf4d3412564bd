#include <gtest/gtest.h>

#include "sim/SimDevice.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

SimProfile Default() {
  SimProfile profile;
  std::string error;
  EXPECT_TRUE(LoadBundledSimProfile("default", profile, error)) << error;
  return profile;
}

void Write(CSimDevice& device, const Bytes& bytes) {
  std::size_t written = 0;
  ASSERT_EQ(device.Write(bytes.data(), bytes.size(), written), PortError{});
}

Bytes ReadAll(CSimDevice& device) {
  std::uint8_t buffer[600];
  std::size_t got = 0;
  EXPECT_EQ(device.Read(buffer, sizeof buffer, got), PortError{});
  return Bytes(buffer, buffer + got);
}

TEST(SimDevice, DeliversTheReplyAfterTheLatencyOnTheVirtualClock) {
  // With 30 ms latency the start-comm reply is readable at 30 ms of simulated time, not before.
  SimProfile profile = Default();
  profile.line.latencyMs = 30;
  CVirtualClock clock;
  CUpsSimulator ups(profile);
  CSimDevice device(clock, ups);
  ASSERT_EQ(device.Open("sim"), PortError{});
  ASSERT_EQ(device.Configure(LineSettings{}), PortError{});
  Write(device, {0xAB, 0x04, 0xCF, 0x54, 0x4F, 0x42, 0x9D});
  clock.AdvanceTo(250);
  Write(device, {0xAB, 0x01, 0xA0, 0xB4});
  clock.AdvanceTo(279);
  EXPECT_TRUE(ReadAll(device).empty());
  clock.AdvanceTo(280);
  EXPECT_EQ(ReadAll(device), (Bytes{0xAB, 0x09, 0x01, 0x81, 0x31, 0x99}));
}

TEST(SimDevice, GarblesRepliesAtAMismatchedSpeed) {
  // A PnP string sent at 1200/7 arrives garbled when the host listens at 8 data bits.
  CVirtualClock clock;
  CUpsSimulator ups(Default());
  CSimDevice device(clock, ups);
  ASSERT_EQ(device.Open("sim"), PortError{});
  ASSERT_EQ(device.Configure(LineSettings{1200, 8, 1, 'N'}), PortError{});
  device.SetModemLine(ModemLine::Rts, false);
  device.SetModemLine(ModemLine::Dtr, false);
  device.SetModemLine(ModemLine::Dtr, true);
  device.SetModemLine(ModemLine::Rts, true);
  clock.AdvanceTo(10);
  const Bytes got = ReadAll(device);
  ASSERT_FALSE(got.empty());
  for (std::uint8_t b : got) EXPECT_NE(b, '(');
}

// Takes what each event offers, as the port's pump does, until a hang-up.
struct CountingPump final : IPumpStep {
  explicit CountingPump(CSimDevice& line) : device(line) {}
  bool Step(DeviceEvent event) override {
    if (event == DeviceEvent::HungUp) {
      hungUp = true;
      return false;
    }
    std::uint8_t buffer[80];
    std::size_t got = 0;
    device.Read(buffer, sizeof buffer, got);
    taken += got;
    return true;
  }
  CSimDevice& device;
  std::size_t taken = 0;
  bool hungUp = false;
};

TEST(SimDevice, ThePumpHasEveryReplyByteWhenTheStepReturnsAndHangUpEndsIt) {
  // The inline pump has taken every reply byte when the clock step returns; Unplug ends it with HungUp.
  CVirtualClock clock;
  CUpsSimulator ups(Default());
  CSimDevice device(clock, ups);
  ASSERT_EQ(device.Open("sim"), PortError{});
  ASSERT_EQ(device.Configure(LineSettings{}), PortError{});
  CountingPump pump(device);
  std::unique_ptr<IPumpRunner> runner = device.MakePumpRunner();
  ASSERT_TRUE(runner->Start(pump));
  Write(device, {0xAB, 0x01, 0x31, 0x23});
  clock.SleepMs(10);
  EXPECT_EQ(pump.taken, 10u);
  device.Unplug();
  clock.SleepMs(0);
  runner->Join();
  EXPECT_TRUE(pump.hungUp);
  device.Close();
  EXPECT_EQ(device.Open("sim"), PortError::Posix(ENOENT));
  device.Replug();
  EXPECT_EQ(device.Open("sim"), PortError{});
}

}  // namespace
