#include <gtest/gtest.h>

#include <cerrno>

#include "PtyPair.h"
#include "SerialTestSupport.h"
#include "serial/TermiosDevice.h"

namespace {

struct PtyPort {
  PtyPort() : port(clock, std::make_unique<CTermiosDevice>()) {
    port.SetOwner(&owner);
    port.SetReceiver(&collector);
    port.SetDeviceOverride(pty.slavePath);
  }
  bool Open() { return port.Open(1, 19200, 8, 1, 0); }
  PtyPair pty;
  CSystemClock clock;
  CRecordingOwner owner;
  CChunkCollector collector;
  CSerialPort port;
};

std::vector<std::uint8_t> Pattern(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  }
  return bytes;
}

TEST(PortOverPty, BytesFlowBothWaysAcrossReopen) {
  // Over a real pty, bytes in every chunking arrive whole and in order, each chunk at most 80, before and
  // after a re-Open.
  PtyPort p;
  ASSERT_FALSE(p.pty.slavePath.empty());
  std::vector<std::uint8_t> expected;
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(p.Open()) << p.port.LastError().code;
    for (std::size_t chunk : {1, 7, 80, 81, 300}) {
      std::vector<std::uint8_t> bytes = Pattern(chunk);
      p.pty.Write(bytes);
      expected.insert(expected.end(), bytes.begin(), bytes.end());
      ASSERT_TRUE(p.collector.WaitForBytes(expected.size()));
    }
    EXPECT_EQ(p.collector.Bytes(), expected);
    for (std::uint8_t b : {0xAB, 0x00, 0x0D, 0x0A, 0x11, 0x13}) {
      EXPECT_TRUE(p.port.WriteByte(b));
    }
    EXPECT_EQ(p.pty.Read(6), std::vector<std::uint8_t>({0xAB, 0x00, 0x0D, 0x0A, 0x11, 0x13}));
    p.port.Close();
    EXPECT_FALSE(p.port.IsOpen());
  }
  for (std::size_t size : p.collector.ChunkSizes()) {
    EXPECT_LE(size, 80u);
  }
  EXPECT_TRUE(p.owner.messages.empty());
}

TEST(PortOverPty, SpeedChangesShowOnTheMaster) {
  // Standard speeds keep their B-constant; 14400 and 28800 go through BOTHER and read back exactly.
  PtyPort p;
  ASSERT_TRUE(p.Open());
  EXPECT_EQ(ReadMasterSpeed(p.pty.master).code, kCodeB19200);
  std::uint32_t previous = 0;
  ASSERT_TRUE(p.port.SetBaudRate(1200, previous));
  EXPECT_EQ(previous, 19200u);
  EXPECT_EQ(ReadMasterSpeed(p.pty.master).code, kCodeB1200);
  for (std::uint32_t odd : {14400u, 28800u}) {
    ASSERT_TRUE(p.port.SetBaudRate(odd, previous));
    MasterSpeed speed = ReadMasterSpeed(p.pty.master);
    EXPECT_EQ(speed.code, kCodeBOther);
    EXPECT_EQ(speed.numeric, odd);
  }
  EXPECT_EQ(p.port.settings.baud, "28800");
  EXPECT_FALSE(p.port.SetBaudRate(0, previous));
  EXPECT_EQ(p.port.LastError(), PortError::Posix(EINVAL));
}

TEST(PortOverPty, UnsupportedCallsFailCleanlyAndLeaveThePortUsable) {
  // A pty keeps 8 bits and has no modem lines: those calls fail with their errno, and bytes still flow.
  PtyPort p;
  ASSERT_TRUE(p.Open());
  std::uint8_t previousBits = 0;
  EXPECT_FALSE(p.port.SetDataBits(7, previousBits));
  EXPECT_EQ(p.port.LastError(), PortError::Posix(ENOTTY));
  p.port.SetDataBits(8, previousBits);
  EXPECT_EQ(previousBits, 8);
  EXPECT_FALSE(p.port.SetModemLine(ModemLine::Dtr, false));
  EXPECT_EQ(p.port.LastError(), PortError::Posix(ENOTTY));
  ModemStatus s{true, true, true, true};
  EXPECT_FALSE(p.port.GetModemStatus(s));
  EXPECT_EQ(s.cts + s.dsr + s.ring + s.carrierDetect, 0);
  p.pty.Write({1, 2, 3});
  ASSERT_TRUE(p.collector.WaitForBytes(3));
  EXPECT_TRUE(p.port.WriteByte(9));
  EXPECT_EQ(p.pty.Read(1), std::vector<std::uint8_t>({9}));
}

TEST(PortOverPty, UnusableDevicesFailWithTheirErrno) {
  // Missing device, a file that is no tty, a directory: Open false, errno kept, no pump; none hangs.
  const std::pair<const char*, int> cases[] = {
      {"/dev/ttyS-missing", ENOENT}, {"/dev/null", ENOTTY}, {"/tmp", EISDIR}};
  for (auto [path, error] : cases) {
    CSystemClock clock;
    auto device = std::make_unique<CTermiosDevice>();
    auto runner = std::make_unique<CWatchedRunner>(*device);
    const CWatchedRunner& pump = *runner;
    CSerialPort port(clock, std::move(device), std::move(runner));
    port.SetDeviceOverride(path);
    EXPECT_FALSE(port.Open(1, 19200, 8, 1, 0)) << path;
    EXPECT_FALSE(port.IsOpen()) << path;
    EXPECT_EQ(port.LastError(), PortError::Posix(error)) << path;
    EXPECT_FALSE(pump.Running()) << path;
  }
}

TEST(PortOverPty, SecondOpenOfTheSameDeviceIsBusy) {
  // The first port holds the tty exclusively: a second gets EBUSY until the first closes.
  PtyPort first;
  ASSERT_TRUE(first.Open());
  CSystemClock clock;
  CSerialPort second(clock, std::make_unique<CTermiosDevice>());
  second.SetDeviceOverride(first.pty.slavePath);
  EXPECT_FALSE(second.Open(1, 19200, 8, 1, 0));
  EXPECT_EQ(second.LastError(), PortError::Posix(EBUSY));
  first.port.Close();
  EXPECT_TRUE(second.Open(1, 19200, 8, 1, 0)) << second.LastError().code;
}

TEST(PortOverPty, VanishedDeviceIsReportedAndCloseStillWorks) {
  // Closing the master (an unplugged adapter) marks the device lost with EIO; Close then ends the pump
  // cleanly.
  PtyPort p;
  ASSERT_TRUE(p.Open());
  p.pty.CloseMaster();
  for (int i = 0; i < 2000 && !p.port.DeviceLost(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(p.port.DeviceLost());
  EXPECT_EQ(p.port.LastError(), PortError::Posix(EIO));
  p.port.Close();
  EXPECT_TRUE(p.owner.messages.empty());
  EXPECT_FALSE(p.port.IsOpen());
}

}  // namespace
