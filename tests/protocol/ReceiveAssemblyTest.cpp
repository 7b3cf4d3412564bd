#include <gtest/gtest.h>

#include <string>

#include "Hex.h"
#include "protocol/ReceiveState.h"

namespace {

void Feed(CReceiveState& rx, const std::vector<std::uint8_t>& bytes) {
  rx.ReceiveBytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

void FeedText(CReceiveState& rx, const std::string& text) {
  rx.ReceiveBytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                  static_cast<std::uint32_t>(text.size()));
}

std::vector<std::uint8_t> Stored(const CReceiveState& rx) {
  return {rx.ReceiveBuffer(), rx.ReceiveBuffer() + rx.ReceiveLength()};
}

}  // namespace

// A switch to Plug-and-Play mode without a reset, after more frame bytes than a
// string can hold, counts as a full string: nothing is written past it.
TEST(PlugAndPlayCapture, ModeSetWithoutResetAfterALongResponseIsFull) {
  CReceiveState rx;
  rx.SetReceiveMode(kModeFrame, true);
  const std::vector<std::uint8_t> noise(400, 0x55);
  for (std::size_t i = 0; i < noise.size(); i += 80) rx.ReceiveBytes(noise.data() + i, 80);
  rx.SetReceiveMode(kModePlugAndPlay, false);
  FeedText(rx, "(AB)");
  EXPECT_EQ(rx.ReceiveLength(), 400);
  EXPECT_EQ(rx.PnpLength(), CReceiveState::kPnpCapacity);
  EXPECT_EQ(rx.PnpBuffer()[CReceiveState::kPnpCapacity], 0);
  EXPECT_EQ(rx.ReceiveMode(), kModePlugAndPlay);
}

// A Plug-and-Play string is captured from "(" to ")"; noise around it is dropped.
TEST(PlugAndPlayCapture, KeepsOnlyTheBracketedString) {
  CReceiveState rx;
  rx.SetReceiveMode(kModePlugAndPlay, true);
  Feed(rx, FromHex("78 78 28 41 42 43 29 79 79"));
  EXPECT_STREQ(rx.PnpBuffer(), "(ABC)");
  EXPECT_EQ(rx.ReceiveLength(), 5);
  EXPECT_EQ(rx.PnpLength(), 5);
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);
}

// A ")" before any "(" ends the capture with nothing stored.
TEST(PlugAndPlayCapture, ClosingBracketFirstEndsEmpty) {
  CReceiveState rx;
  rx.SetReceiveMode(kModePlugAndPlay, true);
  FeedText(rx, "x)(AB)");
  EXPECT_EQ(rx.ReceiveLength(), 0);
  EXPECT_EQ(rx.PnpLength(), 0);
  EXPECT_STREQ(rx.PnpBuffer(), "");
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);
}

// An unterminated string stops at 256 characters and the capture keeps waiting.
TEST(PlugAndPlayCapture, StopsAt256CharactersAndStaysInMode) {
  CReceiveState rx;
  rx.SetReceiveMode(kModePlugAndPlay, true);
  const std::string text = "(" + std::string(300, 'Z');
  for (std::size_t i = 0; i < text.size(); i += 80) FeedText(rx, text.substr(i, 80));
  EXPECT_EQ(rx.ReceiveLength(), 256);
  EXPECT_EQ(rx.PnpLength(), 256);
  EXPECT_EQ(std::string(rx.PnpBuffer()), text.substr(0, 256));
  EXPECT_EQ(rx.ReceiveMode(), kModePlugAndPlay);
}

// A string split over chunks is captured as if it came in one.
TEST(PlugAndPlayCapture, SplitOverChunks) {
  CReceiveState rx;
  rx.SetReceiveMode(kModePlugAndPlay, true);
  FeedText(rx, "..(OE");
  EXPECT_EQ(rx.ReceiveMode(), kModePlugAndPlay);
  FeedText(rx, "M)zz");
  EXPECT_STREQ(rx.PnpBuffer(), "(OEM)");
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);
}

// The acknowledge response completes at its sixth byte, whole or byte by byte.
TEST(FrameAssembly, AcknowledgeCompletesAtItsLastByte) {
  const auto ack = FromHex("AB 09 01 81 41 89");
  CReceiveState whole;
  whole.SetReceiveMode(kModeFrame, true);
  Feed(whole, ack);
  EXPECT_EQ(whole.ReceiveMode(), kModeIdle);
  EXPECT_EQ(ToHex(Stored(whole)), "AB 09 01 81 41 89");

  CReceiveState split;
  split.SetReceiveMode(kModeFrame, true);
  for (std::size_t i = 0; i < ack.size(); ++i) {
    EXPECT_EQ(split.ReceiveMode(), kModeFrame) << "before byte " << i;
    split.ReceiveBytes(&ack[i], 1);
  }
  EXPECT_EQ(split.ReceiveMode(), kModeIdle);
  EXPECT_EQ(ToHex(Stored(split)), "AB 09 01 81 41 89");
}

// A response of two frames stays in frame mode until the last one ends.
TEST(FrameAssembly, TwoFramesEndAtTheSecond) {
  CReceiveState rx;
  rx.SetReceiveMode(kModeFrame, true);
  Feed(rx, FromHex("AB C9 01 01 57 33"));
  EXPECT_EQ(rx.ReceiveMode(), kModeFrame);
  Feed(rx, FromHex("AB C9 01 82 57 B2"));
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);
  EXPECT_EQ(rx.ReceiveLength(), 12);
}

// Submodule reply mode assembles like frame mode; idle discards everything.
TEST(FrameAssembly, SubmoduleModeAssemblesIdleDiscards) {
  CReceiveState rx;
  rx.SetReceiveMode(kModeSubmoduleReply, true);
  Feed(rx, FromHex("AB 09 01 81 41 89"));
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);
  rx.SetReceiveMode(kModeIdle, true);
  Feed(rx, FromHex("AB 09 01 81 41 89"));
  EXPECT_EQ(rx.ReceiveLength(), 0);
}

// Noise before the start byte and bytes after the last frame are stored too.
TEST(FrameAssembly, StoresEveryByteOfTheChunk) {
  CReceiveState rx;
  rx.SetReceiveMode(kModeFrame, true);
  Feed(rx, FromHex("00 11 AB 09 01 81 41 89 22"));
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);
  EXPECT_EQ(ToHex(Stored(rx)), "00 11 AB 09 01 81 41 89 22");
  // No frame is left begun: a frame that follows without a reset assembles whole.
  rx.SetReceiveMode(kModeFrame, false);
  Feed(rx, FromHex("AB 09 01 81 41 89"));
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);
}

// The 601st byte of an overlong response is dropped and the mode stays.
TEST(FrameAssembly, SixHundredAndFirstByteIsNotStored) {
  CReceiveState rx;
  rx.SetReceiveMode(kModeFrame, true);
  std::vector<std::uint8_t> chunk(80, 0x11);
  for (int i = 0; i < 7; ++i) Feed(rx, chunk);
  EXPECT_EQ(rx.ReceiveLength(), 560);
  chunk.assign(41, 0x22);
  Feed(rx, chunk);
  EXPECT_EQ(rx.ReceiveLength(), 600);
  EXPECT_EQ(rx.ReceiveBuffer()[599], 0x22);
  EXPECT_EQ(rx.ReceiveMode(), kModeFrame);
}

// A reset with a new mode starts a fresh response even after a broken one.
TEST(FrameAssembly, ResetClearsProgressOfAnAbandonedFrame) {
  CReceiveState rx;
  rx.SetReceiveMode(kModeFrame, true);
  Feed(rx, FromHex("AB 09 05 01 41"));
  rx.SetReceiveMode(kModeIdle, false);
  rx.SetReceiveMode(kModeFrame, true);
  Feed(rx, FromHex("AB 09 01 81 41 89"));
  EXPECT_EQ(rx.ReceiveMode(), kModeIdle);
  EXPECT_EQ(rx.ReceiveLength(), 6);
}

// Only the low 8 bits of a mode are stored.
TEST(FrameAssembly, ModeKeepsItsLowByte) {
  CReceiveState rx;
  rx.SetReceiveMode(0x103, false);
  EXPECT_EQ(rx.ReceiveMode(), kModeFrame);
}
