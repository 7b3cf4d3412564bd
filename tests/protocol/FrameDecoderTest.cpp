#include <gtest/gtest.h>

#include "Hex.h"
#include "protocol/UpsLink.h"

namespace {

struct Decoded {
  bool ok = false;
  std::uint8_t error = 0xFF;
  std::uint8_t block = 0xFF;
  std::vector<std::uint8_t> data;
};

Decoded Decode(const std::string& hex, std::uint16_t capacity = 300) {
  const auto source = FromHex(hex);
  std::vector<std::uint8_t> out(capacity);
  std::uint16_t count = 0xFFFF;
  Decoded d;
  d.ok = CUpsLink().DecodeFrames(source.data(), static_cast<std::uint16_t>(source.size()), out.data(),
                                 capacity, count, d.error, d.block);
  d.data.assign(out.begin(), out.begin() + count);
  return d;
}

}  // namespace

// The one-frame acknowledge decodes to block 9 and its single data byte.
TEST(FrameDecoder, DecodesTheAcknowledge) {
  const Decoded d = Decode("AB 09 01 81 41 89");
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.error, 0);
  EXPECT_EQ(d.block, 0x09);
  EXPECT_EQ(ToHex(d.data), "41");
}

// Two frames join their data; noise around and between them is skipped.
TEST(FrameDecoder, JoinsTheDataOfAllFrames) {
  const Decoded d = Decode("AB C9 01 01 57 33 AB C9 01 82 57 B2");
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.block, 0xC9);
  EXPECT_EQ(ToHex(d.data), "57 57");
  EXPECT_TRUE(Decode("00 AB C9 01 01 57 33 55 AB C9 01 82 57 B2 AB 00").ok);
}

// A source that ends after a complete frame without the last-frame bit is accepted.
TEST(FrameDecoder, LastFrameBitIsNotRequired) {
  const Decoded d = Decode("AB C9 01 01 57 33");
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(ToHex(d.data), "57");
  EXPECT_EQ(Decode("AB C9 01 01 57 33 00 00").error, 1);
  const Decoded empty = Decode("");
  EXPECT_TRUE(empty.ok);
  EXPECT_TRUE(empty.data.empty());
}

// Every malformed response gets its own code, and the block byte when reached.
TEST(FrameDecoder, ReportsEachErrorCode) {
  EXPECT_EQ(Decode("00 01 02").error, 1);
  EXPECT_EQ(Decode("00 AB").error, 1);
  const Decoded endsAfterBlock = Decode("AB C9");
  EXPECT_EQ(endsAfterBlock.error, 2);
  EXPECT_EQ(endsAfterBlock.block, 0xC9);
  EXPECT_EQ(Decode("AB 09 8D 81 00").error, 3);
  EXPECT_EQ(Decode("AB 09 01").error, 3);
  EXPECT_EQ(Decode("AB 09 01 82 41 88").error, 4);
  EXPECT_EQ(Decode("AB 09 01 81").error, 4);
  EXPECT_EQ(Decode("AB C9 01 01 57 33 AB C9 01 83 57 B1").error, 4);
  EXPECT_EQ(Decode("AB 09 01 81 41 88").error, 5);
  EXPECT_EQ(Decode("AB 09 02 81 41").error, 6);
  const Decoded tooBig = Decode("AB C9 01 01 57 33 AB C9 01 82 57 B2", 1);
  EXPECT_FALSE(tooBig.ok);
  EXPECT_EQ(tooBig.error, 6);
  EXPECT_EQ(ToHex(tooBig.data), "57");
}

// The longest frame, 140 data bytes, fits; the decoder never writes past capacity.
TEST(FrameDecoder, LongestFrameAndExactCapacity) {
  std::vector<std::uint8_t> frame{0xAB, 0x01, 140, 0x81};
  frame.resize(4 + 140, 0x5A);
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame) sum += b;
  frame.push_back(static_cast<std::uint8_t>(0x100 - sum));
  const std::string hex = ToHex(frame);
  EXPECT_TRUE(Decode(hex, 140).ok);
  EXPECT_EQ(Decode(hex, 139).error, 6);
}

// Codes 1 to 5 have their names; anything else shows as "Unknown".
TEST(FrameDecoder, ErrorNames) {
  const CUpsLink link;
  EXPECT_EQ(link.ErrorName(1), "No Start Frame Delimiter");
  EXPECT_EQ(link.ErrorName(2), "Bad Block Number");
  EXPECT_EQ(link.ErrorName(3), "Bad Length");
  EXPECT_EQ(link.ErrorName(4), "Out Of Sequence");
  EXPECT_EQ(link.ErrorName(5), "CheckSum Error");
  EXPECT_EQ(link.ErrorName(6), "Unknown");
  EXPECT_EQ(link.ErrorName(0), "Unknown");
  EXPECT_EQ(link.ErrorName(-1), "Unknown");
}
