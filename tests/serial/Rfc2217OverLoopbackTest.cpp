#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <string>

#include "LoopbackServer.h"
#include "SerialTestSupport.h"
#include "serial/NetworkFailure.h"
#include "serial/Rfc2217Device.h"
#include "serial/TelnetCodec.h"

namespace {

using namespace telnet;
using Bytes = std::vector<std::uint8_t>;

std::string Url(std::uint16_t port) {
  return "rfc2217://127.0.0.1:" + std::to_string(port);
}

PortError Failure(NetworkFailure failure) {
  return PortError::Network(static_cast<int>(failure));
}

// A well-behaved server: it accepts COM-PORT-OPTION, confirms every command
// with the value asked for, reports DSR on once the mask is set, keeps the
// line data it gets, and sends the line "A" 0xFF "Z" after the first data.
struct CooperativeServer {
  std::mutex mutex;
  Bytes lineData;
  std::vector<Event> commands;
  std::atomic<bool> hangUp{false};
  Bytes keptSpeed;  // when set, every speed asked is answered with this one

  void Serve(int connection) {
    CReceiver receiver;
    bool answeredData = false;
    while (!hangUp.load()) {
      const Bytes got = ReceiveFor(connection, 20);
      Bytes data;
      std::vector<Event> events;
      receiver.Feed(got.data(), got.size(), data, events);
      for (const Event& event : events) Answer(connection, event);
      std::lock_guard lock(mutex);
      lineData.insert(lineData.end(), data.begin(), data.end());
      if (!lineData.empty() && !answeredData) {
        SendBytes(connection, {0x41, kIac, kIac, 0x5A});
        answeredData = true;
      }
    }
  }

  void Answer(int connection, const Event& event) {
    if (event.kind == Event::Will && event.option == kComPort) SendBytes(connection, {kIac, kDo, kComPort});
    if (event.kind != Event::ComPort) return;
    Bytes reply;
    const bool keeps = event.command == kSetBaudRate && !keptSpeed.empty();
    AppendComPortCommand(reply, event.command + kServerOffset, keeps ? keptSpeed : event.value);
    if (event.command == kSetModemStateMask) AppendComPortCommand(reply, 107, {kModemDsr});
    SendBytes(connection, reply);
    std::lock_guard lock(mutex);
    commands.push_back(event);
  }
};

TEST(Rfc2217Device, AgreesTheLineCarriesEveryByteAndSeesTheConnectionDrop) {
  CooperativeServer behaviour;
  CLoopbackServer server([&](int connection) { behaviour.Serve(connection); });
  CRfc2217Device device;
  ASSERT_FALSE(device.Open(Url(server.Port())));
  ASSERT_FALSE(device.Configure(LineSettings{19200, 8, 1, 'N'}));
  EXPECT_FALSE(device.SetBaudRate(1200));
  EXPECT_FALSE(device.SetDataBits(7));
  EXPECT_FALSE(device.SetModemLine(ModemLine::Dtr, false));
  ModemStatus status;
  EXPECT_FALSE(device.GetModemStatus(status));
  EXPECT_TRUE(status.dsr);

  const Bytes frame = {0x02, 0xFF, 0x10};
  std::size_t written = 0;
  for (std::uint8_t byte : frame) ASSERT_FALSE(device.Write(&byte, 1, written));
  ASSERT_FALSE(device.Flush());
  ASSERT_EQ(device.WaitEvent(), DeviceEvent::Readable);
  Bytes received;
  for (int i = 0; i < 100 && received.size() < 3; ++i) {
    std::uint8_t buffer[8];
    std::size_t got = 0;
    ASSERT_FALSE(device.Read(buffer, sizeof buffer, got));
    received.insert(received.end(), buffer, buffer + got);
    if (received.size() < 3) device.WaitEvent();
  }
  EXPECT_EQ(received, (Bytes{0x41, 0xFF, 0x5A}));
  {
    std::lock_guard lock(behaviour.mutex);
    EXPECT_EQ(behaviour.lineData, frame);
    // The mask, the five line settings, DTR and RTS, then the three changes.
    ASSERT_EQ(behaviour.commands.size(), 11u);
    EXPECT_EQ(behaviour.commands[8].value, (Bytes{0x00, 0x00, 0x04, 0xB0}));
    EXPECT_EQ(behaviour.commands[10].value, (Bytes{kControlDtrOff}));
  }

  behaviour.hangUp = true;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(device.WaitEvent(), DeviceEvent::HungUp);
  EXPECT_EQ(device.SetBaudRate(9600), Failure(NetworkFailure::ConnectionLost));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  std::size_t got = 0;
  std::uint8_t byte = 0;
  EXPECT_TRUE(device.Read(&byte, 1, got).MeansDeviceGone());
}

// A line that keeps its old speed must not be taken as switched: the UPS
// would then be spoken to at a speed the line does not run.
TEST(Rfc2217Device, ASpeedTheServerAnswersWithAnotherIsNotTaken) {
  CooperativeServer behaviour;
  behaviour.keptSpeed = {0x00, 0x00, 0x4B, 0x00};  // 19200
  CLoopbackServer server([&](int connection) { behaviour.Serve(connection); });
  CRfc2217Device device;
  ASSERT_FALSE(device.Open(Url(server.Port())));
  ASSERT_FALSE(device.Configure(LineSettings{19200, 8, 1, 'N'}));
  EXPECT_EQ(device.SetBaudRate(28800), Failure(NetworkFailure::NotTaken));
  EXPECT_FALSE(device.SetDataBits(7));
  behaviour.hangUp = true;
}

// A network line that does not take the first line settings is a port that
// opened but refused a setting, as a local one is: it stays open and names
// the setting, so that the run and the window can say which; a connection
// that drops there names the line as a whole.
TEST(Rfc2217Device, AFirstConfigureNotTakenNamesTheRefusedSetting) {
  CooperativeServer behaviour;
  behaviour.keptSpeed = {0x00, 0x00, 0x4B, 0x00};  // 19200
  CLoopbackServer server([&](int connection) { behaviour.Serve(connection); });
  CSettlingClock clock;
  CSerialPort port(clock, std::make_unique<CRfc2217Device>());
  port.SetDeviceOverride(Url(server.Port()));
  EXPECT_FALSE(port.Open(1, 57600, 8, 1, 0));
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(port.LastError(), Failure(NetworkFailure::NotTaken));
  EXPECT_EQ(port.RefusedSetting(), LineSetting::BaudRate);
  EXPECT_EQ(port.RefusedValue(), "57600");
  behaviour.hangUp = true;

  CLoopbackServer closing([](int c) {
    CReceiver receiver;
    Bytes data;
    std::vector<Event> events;
    for (bool masked = false; !masked;) {
      const Bytes got = ReceiveFor(c, 100);
      if (got.empty()) return;
      receiver.Feed(got.data(), got.size(), data, events);
      for (const Event& event : events) {
        if (event.kind == Event::Will && event.option == kComPort) SendBytes(c, {kIac, kDo, kComPort});
        if (event.kind == Event::ComPort && event.command == kSetModemStateMask) masked = true;
      }
      events.clear();
    }
    Bytes answer;
    AppendComPortCommand(answer, kSetModemStateMask + kServerOffset, {0xFF});
    SendBytes(c, answer);
    ReceiveFor(c, 200);
  });
  CRfc2217Device device;
  ASSERT_FALSE(device.Open(Url(closing.Port())));
  EXPECT_EQ(device.Configure(LineSettings{19200, 8, 1, 'N'}), Failure(NetworkFailure::ConnectionLost));
  EXPECT_EQ(device.RefusedSetting(), LineSetting::NetworkLine);
}

// How a server that is no RFC 2217 server for us ends the connect, and
// what the loader then has to quote.
TEST(Rfc2217Device, RefusalsEndTheConnectWithTheirReason) {
  struct Case {
    CLoopbackServer::Script script;
    NetworkFailure failure;
    std::string detail;
  };
  const std::vector<Case> cases = {
      {[](int c) { ReceiveFor(c, 2500); }, NetworkFailure::NotTelnet, ""},
      {[](int c) {
         SendBytes(c, {kIac, kDont, kComPort}), ReceiveFor(c, 200);
       },
       NetworkFailure::NotTelnet, ""},
      {[](int c) {
         SendBytes(c, {0x00, 0x9C, 0xE3, 0x81}), ReceiveFor(c, 2500);
       },
       NetworkFailure::NotTelnet, ""},
      {[](int) {}, NetworkFailure::ClosedEarly, ""},
      {[](int c) {
         SendBytes(c, {kIac, kWill, kBinary, kIac, kDo, kComPort});
         const std::string line = "Port already in use\r\n";
         SendBytes(c, Bytes(line.begin(), line.end()));
       },
       NetworkFailure::ServerLine, "Port already in use"},
  };
  for (const Case& c : cases) {
    CLoopbackServer server(c.script);
    CRfc2217Device device;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device.Open(Url(server.Port())), Failure(c.failure)) << c.detail;
    EXPECT_EQ(device.FailureDetail(), c.detail);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  }
  CRfc2217Device device;
  EXPECT_EQ(device.Open(Url(UnusedPort())), PortError::Posix(ECONNREFUSED));
  EXPECT_EQ(device.Open("rfc2217://127.0.0.1"), Failure(NetworkFailure::BadAddress));
}

}  // namespace
