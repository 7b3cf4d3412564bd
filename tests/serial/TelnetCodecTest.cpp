#include <gtest/gtest.h>

#include <vector>

#include "serial/NetworkAddress.h"
#include "serial/TelnetCodec.h"

namespace {

using namespace telnet;
using Bytes = std::vector<std::uint8_t>;

struct Fed {
  Bytes data;
  std::vector<Event> events;
};

// What a server sends as ser2net does on a connect: its option requests,
// the COM-PORT-OPTION acceptance, a speed confirmation whose value holds an
// IAC, a modem-state notification, then line data with a doubled IAC.
const Bytes kRecorded = {kIac,     kWill, kBinary, kIac, kDo,  kComPort, kIac, kDo,  24,  kIac, kSb,
                         kComPort, 101,   0x00,    0x00, 0xFF, 0xFF,     0x00, kIac, kSe, kIac, kSb,
                         kComPort, 107,   0x30,    kIac, kSe,  0x41,     kIac, kIac, 0x0D};

Fed FeedInPieces(const Bytes& stream, std::size_t piece) {
  CReceiver receiver;
  Fed fed;
  for (std::size_t at = 0; at < stream.size(); at += piece)
    receiver.Feed(stream.data() + at, std::min(piece, stream.size() - at), fed.data, fed.events);
  return fed;
}

TEST(TelnetCodec, ARecordedStreamSplitsIntoDataAndEventsHoweverTheReadsCutIt) {
  for (std::size_t piece : {kRecorded.size(), std::size_t{1}, std::size_t{2}, std::size_t{3}}) {
    const Fed fed = FeedInPieces(kRecorded, piece);
    EXPECT_EQ(fed.data, (Bytes{0x41, 0xFF, 0x0D})) << piece;
    ASSERT_EQ(fed.events.size(), 5u) << piece;
    EXPECT_EQ(fed.events[0].kind, Event::Will);
    EXPECT_EQ(fed.events[1].kind, Event::Do);
    EXPECT_EQ(fed.events[1].option, kComPort);
    EXPECT_EQ(fed.events[3].command, 101);
    EXPECT_EQ(fed.events[3].value, (Bytes{0x00, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(fed.events[4].command, 107);
    const ModemBits bits = ParseModemState(fed.events[4].value.at(0));
    EXPECT_TRUE(bits.dsr && bits.cts);
    EXPECT_FALSE(bits.ring || bits.carrier);
  }
}

TEST(TelnetCodec, OutgoingBytesAndCommandValuesDoubleEveryIac) {
  Bytes out;
  const Bytes frame = {0x00, 0xFF, 0xFF, 0x7E};
  AppendEscaped(out, frame.data(), frame.size());
  EXPECT_EQ(out, (Bytes{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x7E}));
  out.clear();
  AppendComPortCommand(out, kSetBaudRate, {0x00, 0x00, 0x00, 0xFF});
  EXPECT_EQ(out, (Bytes{kIac, kSb, kComPort, kSetBaudRate, 0, 0, 0, 0xFF, 0xFF, kIac, kSe}));
}

// Garbage must neither stop the stream nor grow without bound: an overlong
// or broken subnegotiation is dropped and plain data flows after it.
TEST(TelnetCodec, GarbageIsDroppedAndDataFlowsAfterIt) {
  Bytes stream = {kIac, kSb, kComPort, 107};
  stream.insert(stream.end(), 500, 0x20);
  stream.insert(stream.end(),
                {kIac, kSe, kIac, kSb, kComPort, 101, 1, kIac, kWill, 1, kIac, 0xF1, kIac, kSe, 0x55});
  const Fed fed = FeedInPieces(stream, 7);
  EXPECT_EQ(fed.data, (Bytes{0x55}));
  ASSERT_EQ(fed.events.size(), 1u);
  EXPECT_EQ(fed.events[0].kind, Event::Will);
}

TEST(TelnetCodec, OptionsAreAnsweredAndTheComPortOutcomeKept) {
  COptions accepted;
  EXPECT_TRUE(accepted.Answer({Event::Do, kBinary, 0, {}}).empty());
  EXPECT_TRUE(accepted.Answer({Event::Do, kComPort, 0, {}}).empty());
  EXPECT_EQ(accepted.Answer({Event::Do, 24, 0, {}}), (Bytes{kIac, kWont, 24}));
  EXPECT_EQ(accepted.Answer({Event::Will, 1, 0, {}}), (Bytes{kIac, kDont, 1}));
  EXPECT_TRUE(accepted.ComPortAccepted());
  COptions refused;
  refused.Answer({Event::Dont, kComPort, 0, {}});
  EXPECT_TRUE(refused.ComPortRefused());
  EXPECT_FALSE(refused.ComPortAccepted());
}

TEST(NetworkAddress, NamesParseOrSayWhatIsWrong) {
  NetworkAddress address;
  EXPECT_EQ(ParseNetworkAddress("rfc2217://console.lab:4001", address), AddressProblem::None);
  EXPECT_EQ(address.host, "console.lab");
  EXPECT_EQ(address.port, 4001);
  EXPECT_EQ(ParseNetworkAddress("RFC2217://[::1]:65535/", address), AddressProblem::None);
  EXPECT_EQ(address.host, "::1");
  EXPECT_EQ(ParseNetworkAddress("rfc2217://host", address), AddressProblem::NoPort);
  EXPECT_EQ(ParseNetworkAddress("rfc2217://host:", address), AddressProblem::NoPort);
  EXPECT_EQ(ParseNetworkAddress("rfc2217://host:x1", address), AddressProblem::NoPort);
  EXPECT_EQ(ParseNetworkAddress("rfc2217://host:0", address), AddressProblem::PortOutOfRange);
  EXPECT_EQ(ParseNetworkAddress("rfc2217://host:65536", address), AddressProblem::PortOutOfRange);
  EXPECT_EQ(ParseNetworkAddress("rfc2217://host:99999999999999999999", address),
            AddressProblem::PortOutOfRange);
  EXPECT_EQ(ParseNetworkAddress("rfc2217://:4001", address), AddressProblem::NoHost);
  EXPECT_EQ(ParseNetworkAddress("telnet://host:23", address), AddressProblem::UnknownScheme);
  EXPECT_TRUE(IsNetworkDeviceName("telnet://host:23"));
  EXPECT_FALSE(IsNetworkDeviceName("/dev/ttyUSB0"));
  EXPECT_FALSE(IsNetworkDeviceName("COM3"));
}

}  // namespace
