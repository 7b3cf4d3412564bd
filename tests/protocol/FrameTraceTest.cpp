#include <gtest/gtest.h>

#include <sstream>

#include "TestRig.h"
#include "app/CommandIds.h"
#include "protocol/FrameTraceWriter.h"
#include "protocol/ReceiveState.h"

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint8_t> list) {
  return list;
}

// A receive state whose frames are traced into `out`.
struct CTracedReceiver {
  CTracedReceiver() {
    trace.Open(out);
    rx.SetTrace(&trace);
  }
  CVirtualClock clock;
  CFrameTraceWriter trace{clock};
  std::ostringstream out;
  CReceiveState rx;
};

// The lines of the trace that contain `part`, in order.
std::vector<std::string> LinesWith(const std::string& trace, const std::string& part) {
  std::vector<std::string> lines;
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);)
    if (line.find(part) != std::string::npos) lines.push_back(line);
  return lines;
}

// The number of the first line from line `from` on that contains `part`.
std::size_t LineOf(const std::string& trace, const std::string& part, std::size_t from = 0) {
  std::istringstream in(trace);
  std::size_t n = 0;
  for (std::string line; std::getline(in, line); ++n)
    if (n >= from && line.find(part) != std::string::npos) return n;
  return std::string::npos;
}

}  // namespace

TEST(FrameTrace, EachEventIsOneLineWithItsMillisecondsDirectionAndHex) {
  // Milliseconds count from the opening; frames show as upper-case hex, speed changes as LINE.
  CVirtualClock clock;
  clock.AdvanceTo(5000);
  CFrameTraceWriter trace(clock);
  trace.Frame(TraceDirection::ToUps, Bytes({0xAB}).data(), 1);  // closed: dropped
  std::ostringstream out;
  trace.Open(out);
  const auto request = Bytes({0xAB, 0x01, 0xA0, 0xB4});
  const auto reply = Bytes({0xAB, 0x09, 0x01, 0x81, 0x31, 0x99});
  trace.Frame(TraceDirection::ToUps, request.data(), request.size());
  clock.AdvanceTo(5012);
  trace.Frame(TraceDirection::FromUps, reply.data(), reply.size());
  clock.AdvanceTo(1'234'567 + 5000);
  trace.LineSpeed(19200, 8);
  trace.Close();
  trace.LineSpeed(1200, 7);
  EXPECT_EQ(out.str(),
            "       0 ms TX AB 01 A0 B4\n"
            "      12 ms RX AB 09 01 81 31 99\n"
            " 1234567 ms LINE 19200 baud 8 data bits\n");
}

TEST(FrameTrace, ReceivedFramesAreTracedWholeWithoutTheNoiseAroundThem) {
  // A response split over chunks, with noise before it, is traced frame by frame once each frame ends.
  CTracedReceiver t;
  CReceiveState& rx = t.rx;
  std::ostringstream& out = t.out;
  rx.SetReceiveMode(kModeFrame, true);
  const auto first = Bytes({0x00, 0x17, 0xAB, 0xC9, 0x01});
  const auto rest = Bytes({0x01, 0x57, 0x33, 0xAB, 0xC9, 0x01, 0x82, 0x57, 0xB2, 0xEE});
  rx.ReceiveBytes(first.data(), static_cast<std::uint32_t>(first.size()));
  EXPECT_EQ(out.str(), "");
  rx.ReceiveBytes(rest.data(), static_cast<std::uint32_t>(rest.size()));
  EXPECT_EQ(out.str(), "       0 ms RX AB C9 01 01 57 33\n       0 ms RX AB C9 01 82 57 B2\n");
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);

  out.str("");
  rx.SetReceiveMode(kModePlugAndPlay, true);
  const std::string pnp = "xx(AB)yy";
  rx.ReceiveBytes(reinterpret_cast<const std::uint8_t*>(pnp.data()), static_cast<std::uint32_t>(pnp.size()));
  EXPECT_EQ(out.str(), "       0 ms RX 28 41 42 29\n");
}

TEST(FrameTrace, BytesThatMakeNoFrameAreTracedWhenTheWaitEndsOrAsTheyAreDropped) {
  // A wait that gives up mid-frame shows the part that came; bytes arriving in idle mode show as dropped.
  CTracedReceiver t;
  CReceiveState& rx = t.rx;
  std::ostringstream& out = t.out;
  const auto ack = Bytes({0xAB, 0x09, 0x01, 0x81, 0x31, 0x99});
  rx.SetReceiveMode(kModeFrame, true);
  rx.ReceiveBytes(ack.data(), 3);
  t.clock.AdvanceTo(8000);
  rx.SetReceiveMode(kModeIdle, false);
  rx.ReceiveBytes(ack.data() + 3, 3);
  rx.SetReceiveMode(kModeFrame, true);
  rx.ReceiveBytes(ack.data(), static_cast<std::uint32_t>(ack.size()));
  rx.SetReceiveMode(kModeFrame, true);  // a complete response leaves nothing to show
  EXPECT_EQ(out.str(),
            "    8000 ms PART AB 09 01\n"
            "    8000 ms DROP 81 31 99\n"
            "    8000 ms RX AB 09 01 81 31 99\n");

  out.str("");
  const std::vector<std::uint8_t> noise(80, 0x55);
  for (int i = 0; i < 8; ++i) rx.ReceiveBytes(noise.data(), 80);  // the last 40 find the 600-byte buffer full
  std::string dropped;
  for (int i = 0; i < 40; ++i) dropped += " 55";
  EXPECT_EQ(out.str(), "    8000 ms DROP" + dropped + "\n");
}

TEST(FrameTrace, ConnectTraceHoldsTheStartCommExchangeAndTheSpeedChanges) {
  // A whole Connect: the Plug-and-Play line at 1200 baud 7 bits, then the agreed 19200, then start-comm both
  // ways.
  std::ostringstream out;
  CTestRig rig;
  CFrameTraceWriter trace(rig.clock);
  trace.Open(out);
  rig.app->SetFrameTrace(&trace);
  rig.Start();
  rig.Run(kCmdConnect);
  ASSERT_EQ(rig.frame->Connection().connected, 1);
  rig.app->SetFrameTrace(nullptr);
  const std::string text = out.str();
  const std::size_t pnpLine = LineOf(text, "LINE 1200 baud 7 data bits");
  const std::size_t fastLine = LineOf(text, "LINE 19200 baud 8 data bits", pnpLine);
  const std::size_t startComm = LineOf(text, "TX AB 01 A0 B4", fastLine);
  ASSERT_NE(pnpLine, std::string::npos) << text;
  ASSERT_NE(fastLine, std::string::npos) << text;
  ASSERT_NE(startComm, std::string::npos) << text;
  EXPECT_EQ(LineOf(text, "RX AB 09 01 81 31 99", startComm), startComm + 1) << text;
  // The Plug-and-Play string is traced as it arrived, "(" first and ")" last.
  const std::vector<std::string> pnp = LinesWith(text, "RX 28 ");
  ASSERT_EQ(pnp.size(), 1u) << text;
  EXPECT_EQ(pnp[0].substr(pnp[0].size() - 3), " 29");
  // Every line has the timestamp, then TX, RX or LINE.
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    EXPECT_EQ(line.substr(8, 4), " ms ") << line;
    const std::string kind = line.substr(12, line.find(' ', 12) - 12);
    EXPECT_TRUE(kind == "TX" || kind == "RX" || kind == "LINE") << line;
  }
}

TEST(FrameTrace, AFrameAfterAResetAndAPlugAndPlayCaptureIsTracedFromItsOwnStart) {
  // The abandoned frame's start lay past what the capture stored; the new frame must not reach back to it.
  CTracedReceiver t;
  CReceiveState& rx = t.rx;
  const std::vector<std::uint8_t> noise(40, 0x55);
  rx.SetReceiveMode(kModeFrame, true);
  rx.ReceiveBytes(noise.data(), 40);
  rx.ReceiveBytes(Bytes({0xAB, 0x09}).data(), 2);
  rx.SetReceiveMode(kModePlugAndPlay, true);
  rx.ReceiveBytes(reinterpret_cast<const std::uint8_t*>("(A"), 2);
  rx.SetReceiveMode(kModeFrame, false);
  t.out.str("");
  const auto ack = Bytes({0xAB, 0x09, 0x01, 0x81, 0x31, 0x99});
  rx.ReceiveBytes(ack.data(), static_cast<std::uint32_t>(ack.size()));
  EXPECT_EQ(t.out.str(), "       0 ms RX AB 09 01 81 31 99\n");
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);
}
