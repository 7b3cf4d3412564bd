#include <gtest/gtest.h>

#include <cerrno>

#include "SerialTestSupport.h"

namespace {

struct FakePort {
  FakePort()
      : device(new CFakeDevice),
        runner(new CWatchedRunner(*device)),
        port(clock, std::unique_ptr<ISerialDevice>(device), std::unique_ptr<IPumpRunner>(runner)) {
    port.SetOwner(&owner);
    // The pump runs in real time; let it acknowledge before time moves on.
    clock.SetSettle([this] { WaitUntilTrue([this] { return !runner->StopPending() || !port.IsOpen(); }); });
  }
  CSettlingClock clock;
  CFakeDevice* device;
  CWatchedRunner* runner;
  CRecordingOwner owner;
  CSerialPort port;
};

TEST(PortOverFake, OpenMapsComNumberAndAppliesLine) {
  // COM2 opens /dev/ttyS1 with the given speed and framing, DTR and RTS raised; an override wins.
  FakePort f;
  ASSERT_TRUE(f.port.Open(2, 19200, 8, 1, 0));
  EXPECT_EQ(f.device->openedPath, "/dev/ttyS1");
  EXPECT_EQ(f.device->line.baud, 19200u);
  EXPECT_EQ(f.device->line.dataBits, 8);
  EXPECT_EQ(f.device->line.stopBits, 1);
  EXPECT_EQ(f.device->line.parity, 'N');
  EXPECT_TRUE(f.device->dtr && f.device->rts);
  f.port.SetDeviceOverride("/dev/ttyUSB0");
  ASSERT_TRUE(f.port.Open(1, 9600, 7, 2, 2));
  EXPECT_EQ(f.device->openedPath, "/dev/ttyUSB0");
  EXPECT_EQ(f.device->line.parity, 'E');
  EXPECT_EQ(f.device->line.stopBits, 2);
}

TEST(PortOverFake, ParityCodesGiveTheirLetters) {
  // Codes 1-4 give O, E, S, M; anything else gives none.
  const std::pair<int, char> cases[] = {{0, 'N'}, {1, 'O'}, {2, 'E'}, {3, 'S'},
                                        {4, 'M'}, {7, 'N'}, {-1, 'N'}};
  for (auto [code, letter] : cases) {
    FakePort f;
    ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, code));
    EXPECT_EQ(f.device->line.parity, letter) << code;
  }
}

TEST(PortOverFake, RefusedOpenKeepsErrnoAndStartsNoPump) {
  // A device that refuses (no permission) leaves the port closed, pump-less, with EACCES kept.
  FakePort f;
  f.device->openError = EACCES;
  EXPECT_FALSE(f.port.Open(1, 19200, 8, 1, 0));
  EXPECT_FALSE(f.port.IsOpen());
  EXPECT_EQ(f.port.LastError(), PortError::Posix(EACCES));
  EXPECT_FALSE(f.runner->Running());
  EXPECT_FALSE(f.port.SetModemLine(ModemLine::Dtr, true));
  EXPECT_EQ(f.port.LastError(), PortError::Posix(EBADF));
  f.port.Close();
  EXPECT_EQ(f.clock.NowMs(), 0);
  FakePort never;
  never.port.Close();
  EXPECT_EQ(never.clock.NowMs(), 0);
  EXPECT_EQ(never.owner.pumps, 0);
}

TEST(PortOverFake, FailedConfigureLeavesDeviceOpenWithoutPump) {
  // A line setting the device refuses fails Open but leaves the device for Close to release, and the
  // port names the setting: a stored value no line takes, else what the device says it refused.
  FakePort f;
  f.device->callError = EINVAL;
  EXPECT_FALSE(f.port.Open(1, 19200, 9, 1, 0));
  EXPECT_TRUE(f.port.IsOpen());
  EXPECT_EQ(f.port.LastError(), PortError::Posix(EINVAL));
  EXPECT_FALSE(f.runner->Running());
  EXPECT_EQ(f.port.RefusedSetting(), LineSetting::DataBits);
  EXPECT_EQ(f.port.RefusedValue(), "9");
  f.port.Close();
  EXPECT_FALSE(f.port.IsOpen());
  EXPECT_EQ(f.port.RefusedSetting(), LineSetting::None);
  EXPECT_FALSE(f.port.Open(1, 19200, 8, 3, 0));
  EXPECT_EQ(f.port.RefusedSetting(), LineSetting::StopBits);
  EXPECT_FALSE(f.port.Open(1, 19200, 8, 1, 0));
  EXPECT_EQ(f.port.RefusedSetting(), LineSetting::SerialLine);
  f.device->callError = 0;
  EXPECT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  EXPECT_EQ(f.port.RefusedSetting(), LineSetting::None);
}

TEST(PortOverFake, SpeedAndDataBitsReportPreviousAndRewriteTexts) {
  // A change reports the old value and rewrites its text; a refused one keeps errno and the old text.
  FakePort f;
  std::uint32_t previousBaud = 99;
  std::uint8_t previousBits = 99;
  EXPECT_FALSE(f.port.SetBaudRate(1200, previousBaud));
  EXPECT_EQ(previousBaud, 0u);
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  ASSERT_TRUE(f.port.SetBaudRate(1200, previousBaud));
  EXPECT_EQ(previousBaud, 19200u);
  EXPECT_EQ(f.port.settings.baud, "1200");
  ASSERT_TRUE(f.port.SetDataBits(7, previousBits));
  EXPECT_EQ(previousBits, 8);
  EXPECT_EQ(f.port.settings.dataBits, "7");
  EXPECT_EQ(f.device->line.dataBits, 7);
  f.device->callError = EIO;
  EXPECT_FALSE(f.port.SetBaudRate(9600, previousBaud));
  EXPECT_EQ(previousBaud, 1200u);
  EXPECT_EQ(f.port.settings.baud, "1200");
  EXPECT_FALSE(f.port.SetDataBits(8, previousBits));
  EXPECT_EQ(f.port.settings.dataBits, "7");
  EXPECT_EQ(f.port.LastError(), PortError::Posix(EIO));
}

TEST(PortOverFake, ModemLinesAndStatus) {
  // DTR/RTS follow the calls; CTS and DSR on read as 1, the rest 0; a refusal zeroes all and keeps errno.
  FakePort f;
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  ASSERT_TRUE(f.port.SetModemLine(ModemLine::Dtr, false));
  ASSERT_TRUE(f.port.SetModemLine(ModemLine::Rts, false));
  EXPECT_FALSE(f.device->dtr || f.device->rts);
  f.device->status.cts = f.device->status.dsr = true;
  ModemStatus s{.cts = false, .dsr = false, .ring = true, .carrierDetect = true};
  ASSERT_TRUE(f.port.GetModemStatus(s));
  EXPECT_EQ(std::vector<int>({s.cts, s.dsr, s.ring, s.carrierDetect}), std::vector<int>({1, 1, 0, 0}));
  f.device->callError = ENOTTY;
  EXPECT_FALSE(f.port.GetModemStatus(s));
  EXPECT_EQ(std::vector<int>({s.cts, s.dsr, s.ring, s.carrierDetect}), std::vector<int>({0, 0, 0, 0}));
  EXPECT_FALSE(f.port.SetModemLine(ModemLine::Dtr, true));
  EXPECT_EQ(f.port.LastError(), PortError::Posix(ENOTTY));
}

TEST(PortOverFake, PumpDeliversAtMostEightyBytesAWakeUp) {
  // 100 buffered bytes arrive as 80 then 20, in order.
  FakePort f;
  CChunkCollector collector;
  f.port.SetReceiver(&collector);
  std::vector<std::uint8_t> bytes(100);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(i);
  }
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  f.device->Feed(bytes);
  ASSERT_TRUE(collector.WaitForBytes(100));
  EXPECT_EQ(collector.ChunkSizes(), std::vector<std::size_t>({80, 20}));
  EXPECT_EQ(collector.Bytes(), bytes);
}

TEST(PortOverFake, BytesBeforeReceiverAreDropped) {
  // What arrives while no receiver is set is read and thrown away, not kept for later.
  FakePort f;
  CChunkCollector collector;
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  f.device->Feed({1, 2, 3});
  ASSERT_TRUE(f.device->WaitUntilDrained());
  f.port.SetReceiver(&collector);
  f.device->Feed({4, 5});
  ASSERT_TRUE(collector.WaitForBytes(2));
  EXPECT_EQ(collector.Bytes(), std::vector<std::uint8_t>({4, 5}));
}

TEST(PortOverFake, WriteByteReachesDeviceOnlyWhenOpen) {
  // Bytes go out one by one while open; a closed port refuses without touching the device.
  FakePort f;
  EXPECT_FALSE(f.port.WriteByte(0xAB));
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  EXPECT_TRUE(f.port.WriteByte(0xAB));
  EXPECT_TRUE(f.port.WriteByte(0x01));
  f.port.Close();
  EXPECT_FALSE(f.port.WriteByte(0x02));
  EXPECT_EQ(f.device->written, std::vector<std::uint8_t>({0xAB, 0x01}));
}

TEST(PortOverFake, AcknowledgedStopTakesAtMostOnePoll) {
  // A pump that answers at once costs at most one 10 ms sleep, and a re-Open starts a fresh pump.
  FakePort f;
  CChunkCollector collector;
  f.port.SetReceiver(&collector);
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  f.port.Close();
  EXPECT_LE(f.clock.NowMs(), 10);
  EXPECT_EQ(f.owner.pumps, f.clock.NowMs() / 10);
  EXPECT_TRUE(f.owner.messages.empty());
  EXPECT_FALSE(f.runner->Running());
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  f.device->Feed({7});
  ASSERT_TRUE(collector.WaitForBytes(1));
}

TEST(PortOverFake, UnansweredStopWaitsTwoSecondsThenSaysSo) {
  // A pump that misses its wake-up is given 200 polls, then reported; Close still closes the device.
  FakePort f;
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  f.device->SetDeaf(true);
  ASSERT_TRUE(f.device->WaitUntilWaiting());
  f.clock.SetSettle({});
  f.port.Close();
  EXPECT_GE(f.clock.NowMs(), 2000);
  EXPECT_EQ(f.owner.messages, std::vector<std::string>({"Failed to Stop Receive Pump"}));
  EXPECT_FALSE(f.port.IsOpen());
  f.device->SetDeaf(false);
  f.device->Wake();
}

TEST(PortOverFake, LostDeviceParksThePumpWithItsError) {
  // A hang-up sets DeviceLost, keeps EIO and stops the pump waiting; Close still stops it at once.
  FakePort f;
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  f.device->HangUp();
  ASSERT_TRUE(WaitUntilTrue([&f] { return f.port.DeviceLost(); }));
  EXPECT_EQ(f.port.LastError(), PortError::Posix(EIO));
  int waits = f.device->WaitCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(f.device->WaitCount(), waits);
  f.port.Close();
  EXPECT_TRUE(f.owner.messages.empty());
  ASSERT_TRUE(f.port.Open(1, 19200, 8, 1, 0));
  EXPECT_FALSE(f.port.DeviceLost());
}

}  // namespace
