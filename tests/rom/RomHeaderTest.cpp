#include <gtest/gtest.h>

#include <vector>

#include "rom/RomHeader.h"

namespace {

std::vector<std::uint8_t> StandardHeader() {
  std::vector<std::uint8_t> h = {0xAA, 0xEE, 18,   0,    0x00, 0x10, 0x00, 0x00, 0x2C, 0x01,
                                 1,    0,    0x05, 0x02, 15,   6,    0xD4, 0x07, 0,    0};
  return h;
}

RomHeader Parse(const std::vector<std::uint8_t>& bytes) {
  return ParseRomHeader(bytes.data(), bytes.size());
}

}  // namespace

TEST(RomHeader, StandardHeaderGivesItsFields) {
  // The fields of a standard 20-byte header come out little-endian and in place.
  const RomHeader h = Parse(StandardHeader());
  EXPECT_TRUE(h.magic);
  EXPECT_EQ(h.declaredSize, 20);
  EXPECT_EQ(h.LoadAddress(), 0x1000u);
  EXPECT_EQ(h.UpsId(), 300);
  EXPECT_EQ(h.ModuleCode(), 1);
  EXPECT_EQ(h.VersionMajor(), 2);
  EXPECT_EQ(h.VersionMinor(), 5);
  EXPECT_EQ(h.DateFirst(), 6);
  EXPECT_EQ(h.DateSecond(), 15);
  EXPECT_EQ(h.Year(), 2004);
}

TEST(RomHeader, DeclaredSizeCountsTheHighByteBySixteen) {
  // Size bytes 2, 1 declare 2 + 16 + 2 = 20; 0, 0 declare 2; 255, 255 declare 4337.
  auto h = StandardHeader();
  h[2] = 2;
  h[3] = 1;
  EXPECT_EQ(Parse(h).declaredSize, 20);
  h[2] = 0;
  h[3] = 0;
  EXPECT_EQ(Parse(h).declaredSize, 2);
  h[2] = 255;
  h[3] = 255;
  EXPECT_EQ(Parse(h).declaredSize, 255 + 16 * 255 + 2);
}

TEST(RomHeader, NoMagicDeclaresTwoBytes) {
  // Without 0xAA 0xEE the header is two bytes long, whatever follows.
  auto h = StandardHeader();
  h[1] = 0xEF;
  EXPECT_FALSE(Parse(h).magic);
  EXPECT_EQ(Parse(h).declaredSize, 2);
  const std::vector<std::uint8_t> one = {0xAA};
  EXPECT_EQ(Parse(one).declaredSize, 2);
}

TEST(RomHeader, ChecksumOverTheStandardWords) {
  // The sum of words 2 to 16 matches the word at 18; one more does not.
  auto h = StandardHeader();
  std::uint16_t sum = 0;
  for (int o = 2; o <= 16; o += 2) sum = static_cast<std::uint16_t>(sum + (h[o] | (h[o + 1] << 8)));
  h[18] = static_cast<std::uint8_t>(sum);
  h[19] = static_cast<std::uint8_t>(sum >> 8);
  EXPECT_EQ(Parse(h).CalculatedChecksum(), sum);
  EXPECT_EQ(Parse(h).StoredChecksum(), sum);
  h[18] = static_cast<std::uint8_t>(sum + 1);
  EXPECT_EQ(Parse(h).StoredChecksum(), static_cast<std::uint16_t>(sum + 1));
}

TEST(RomHeader, ShortAndLongHeadersCompareWithinTheRecord) {
  // A 10-byte header sums words 2..6 against word 8; sizes outside 4..20 stay inside the 20 bytes.
  auto h = StandardHeader();
  h[2] = 8;
  EXPECT_EQ(Parse(h).ChecksumOffset(), 8u);
  EXPECT_EQ(Parse(h).CalculatedChecksum(), static_cast<std::uint16_t>(8 + 0x1000 + 0));
  h[2] = 1;  // declares 3
  EXPECT_EQ(Parse(h).ChecksumOffset(), 2u);
  EXPECT_EQ(Parse(h).CalculatedChecksum(), 0);
  h[2] = 19;  // declares 21
  EXPECT_EQ(Parse(h).ChecksumOffset(), 18u);
}

TEST(RomHeader, MissingBytesReadAsZero) {
  // A file cut inside the header gives zero for the fields it lacks.
  std::vector<std::uint8_t> h = {0xAA, 0xEE, 18, 0, 0x34, 0x12};
  const RomHeader parsed = Parse(h);
  EXPECT_EQ(parsed.LoadAddress(), 0x1234u);
  EXPECT_EQ(parsed.UpsId(), 0);
  EXPECT_EQ(parsed.StoredChecksum(), 0);
}

TEST(RomHeader, DataSizeNeverBelowZero) {
  // A header longer than the file leaves no ROM data rather than a negative size.
  EXPECT_EQ(RomDataSize(100, 20), 80);
  EXPECT_EQ(RomDataSize(19, 20), 0);
  EXPECT_EQ(RomDataSize(20, 20), 0);
  EXPECT_EQ(RomDataSize(17, 4337), 0);
  EXPECT_EQ(RomDataSize(5'000'000, 2), 4'999'998);
}
