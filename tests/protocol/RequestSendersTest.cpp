#include <gtest/gtest.h>

#include "FakeLinkHost.h"

namespace {

struct SenderRig {
  SenderRig() { link.SetHost(&host); }
  CFakeLinkHost host;
  CUpsLink link;
};

}  // namespace

// With authorization: 7 bytes, 250 ms, then a reset receive state and 4 bytes.
TEST(RequestSenders, AuthorizationPauseThenResetThenRequest) {
  SenderRig r;
  r.host.rx.SetReceiveMode(kModeFrame, true);
  const std::uint8_t stale[] = {0xAB, 0x09};
  r.host.rx.ReceiveBytes(stale, 2);
  r.host.rx.SetReceiveMode(kModeIdle, false);

  r.link.SendRequest(CUpsLink::BuildRequest(0xA0), true);
  ASSERT_EQ(r.host.writes.size(), 11u);
  EXPECT_EQ(r.host.WrittenHex(0, 3), "AB 04 CF");
  EXPECT_EQ(r.host.WrittenHex(7), "AB 01 A0 B4");
  EXPECT_EQ(r.host.writes[6].atMs, 0);
  EXPECT_EQ(r.host.writes[7].atMs, 250);
  EXPECT_EQ(r.host.modeAtWrite[6], kModeIdle);
  EXPECT_EQ(r.host.lengthAtWrite[6], 2);
  EXPECT_EQ(r.host.modeAtWrite[7], kModeFrame);
  EXPECT_EQ(r.host.lengthAtWrite[7], 0);
}

// Without authorization only the request goes out, with no pause.
TEST(RequestSenders, PlainRequestsAreWrittenAtOnce) {
  SenderRig r;
  r.link.SendRequest(CUpsLink::BuildRequest(0xC9, {0x43, 0x01}));
  EXPECT_EQ(r.host.WrittenHex(), "AB 03 C9 43 01 45");
  EXPECT_EQ(r.host.clock.NowMs(), 0);
  EXPECT_EQ(r.host.rx.ReceiveMode(), kModeFrame);
}

// The service-mode code goes out as a raw frame.
TEST(RequestSenders, RawRequestAndAuthorization) {
  SenderRig r;
  const std::uint8_t code[3] = {1, 2, 3};
  EXPECT_EQ(r.link.SendRequest(CUpsLink::BuildRawRequest(code, 3)), 1);
  EXPECT_EQ(r.link.SendRequest(CUpsLink::BuildRawRequest(nullptr, 3)), 0);
  EXPECT_EQ(r.host.WrittenHex(), "AB 04 FF 01 02 03 4C");
  EXPECT_EQ(r.link.SendRequest(CUpsLink::BuildAuthorization()), 1);
  EXPECT_EQ(r.host.writes.size(), 14u);
}

// Start flash succeeds on the "S" echo and fails on any other letter.
TEST(RequestSenders, StartFlashChecksTheEcho) {
  SenderRig r;
  r.host.spaces[3] = FlashSpace{0x21, 1, 128, 0x8000, 0x10000, 1};
  r.host.reply = FromHex("AB C9 01 81 53 B7");
  EXPECT_TRUE(r.link.StartFlash(2, 0x8000, 3));
  EXPECT_EQ(r.host.WrittenHex(), "AB 0C C9 53 02 21 00 80 00 00 00 00 01 00 89");
  EXPECT_EQ(r.host.modeAtWrite[0], kModeFrame);

  SenderRig wrongLetter;
  wrongLetter.host.reply = FromHex("AB C9 01 81 57 B3");
  EXPECT_FALSE(wrongLetter.link.StartFlash(2, 0x8000, 3));

  SenderRig badChecksum;
  badChecksum.host.reply = FromHex("AB C9 01 81 53 B8");
  EXPECT_FALSE(badChecksum.link.StartFlash(2, 0x8000, 3));
}

// No reply: the wait uses the allowance of the route length, then goes idle.
TEST(RequestSenders, StartFlashTimesOutByRouteLength) {
  SenderRig r;
  r.host.routeLength = 2;
  EXPECT_FALSE(r.link.StartFlash(2, 0x8000, 1));
  EXPECT_EQ(r.host.waitedPolls, 1600);
  EXPECT_GE(r.host.clock.NowMs(), 16000);
  EXPECT_EQ(r.host.rx.ReceiveMode(), kModeIdle);
}

// A wait of a given number of polls: a reply within them answers; none
// leaves the mode idle instead of still waiting for a frame.
TEST(RequestSenders, AnsweredWithinTheGivenPolls) {
  SenderRig r;
  r.host.rx.SetReceiveMode(kModeFrame, true);
  r.host.reply = FromHex("AB C9 01 81 53 B7");
  EXPECT_TRUE(Answered(r.host, 5));
  EXPECT_EQ(r.host.waitedPolls, 5);

  r.host.reply.clear();
  r.host.rx.SetReceiveMode(kModeFrame, true);
  EXPECT_FALSE(Answered(r.host, 2));
  EXPECT_EQ(r.host.waitedPolls, 2);
  EXPECT_EQ(r.host.rx.ReceiveMode(), kModeIdle);
}

// End flash sends its 6-byte request and wants the "E" echo.
TEST(RequestSenders, EndFlashChecksTheEcho) {
  SenderRig r;
  r.host.reply = FromHex("AB C9 01 81 45 C5");
  EXPECT_TRUE(r.link.EndFlash(4));
  EXPECT_EQ(r.host.WrittenHex(), "AB 03 C9 45 04 40");
  EXPECT_EQ(r.host.waitedPolls, 800);

  SenderRig startEcho;
  startEcho.host.reply = FromHex("AB C9 01 81 53 B7");
  EXPECT_FALSE(startEcho.link.EndFlash(4));
}

// The link decodes what its host received: block and data, zero past the
// data; a reply beyond the capacity asked for gives the decoder's error.
TEST(RequestSenders, DecodeReplyReadsTheHostsReceiveState) {
  SenderRig r;
  r.host.rx.SetReceiveMode(kModeFrame, true);
  const std::vector<std::uint8_t> reply = FromHex("AB C9 01 01 57 33 AB C9 01 82 57 B2");
  r.host.rx.ReceiveBytes(reply.data(), static_cast<std::uint32_t>(reply.size()));
  const DecodedReply decoded = r.link.DecodeReply();
  EXPECT_TRUE(decoded.Ok());
  EXPECT_EQ(decoded.block, 0xC9);
  EXPECT_EQ(ToHex({decoded.data.begin(), decoded.data.begin() + decoded.count + 1}), "57 57 00");
  EXPECT_EQ(r.link.DecodeReply(1).error, kDecodeDoesNotFit);
}
