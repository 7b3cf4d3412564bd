#include <gtest/gtest.h>

#include "protocol/ReceiveState.h"
#include "serial/SerialPort.h"
#include "sim/SimDevice.h"

namespace {

TEST(SimOverSerialPort, ThePumpAssemblesTheStartCommReply) {
  // Through the real port and its pump, start-comm after authorization completes a response in frame mode.
  SimProfile profile;
  std::string error;
  ASSERT_TRUE(LoadBundledSimProfile("default", profile, error)) << error;
  profile.line.latencyMs = 40;
  profile.line.chunkMaxBytes = 2;
  CVirtualClock clock;
  CUpsSimulator ups(profile);
  CReceiveState receive;
  {
    auto device = std::make_unique<CSimDevice>(clock, ups);
    CSimDevice* line = device.get();
    CSerialPort port(clock, std::move(device), line->MakePumpRunner());
    port.SetDeviceOverride("/dev/sim");
    port.SetReceiver(&receive);
    ASSERT_TRUE(port.Open(1, 19200, 8, 1, 0));
    for (std::uint8_t b : {0xAB, 0x04, 0xCF, 0x54, 0x4F, 0x42, 0x9D}) port.WriteByte(b);
    clock.SleepMs(250);
    receive.SetReceiveMode(kModeFrame, true);
    for (std::uint8_t b : {0xAB, 0x01, 0xA0, 0xB4}) port.WriteByte(b);
    const std::int64_t start = clock.NowMs();
    clock.WaitFor(8000, receive.ModeChanged(), [&] { return receive.ReceiveMode() != kModeFrame; });
    EXPECT_EQ(clock.NowMs() - start, 40);
    ASSERT_EQ(receive.ReceiveLength(), 6);
    EXPECT_EQ(std::vector<std::uint8_t>(receive.ReceiveBuffer(), receive.ReceiveBuffer() + 6),
              (std::vector<std::uint8_t>{0xAB, 0x09, 0x01, 0x81, 0x31, 0x99}));
    port.Close();
  }
}

}  // namespace
