#include <gtest/gtest.h>

#include "connection/SubmoduleRoute.h"

namespace {

void ExpectRoute(const std::string& text, int length, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
  const SubmoduleRoute r = ParseSubmoduleRoute(text);
  ASSERT_TRUE(r.valid) << text;
  EXPECT_EQ(r.length, length) << text;
  EXPECT_EQ(r.bytes[0], b1) << text;
  EXPECT_EQ(r.bytes[1], b2) << text;
  EXPECT_EQ(r.bytes[2], b3) << text;
}

}  // namespace

TEST(SubmoduleRoute, WellFormedRoutes) {
  // One, two and three groups; fewer groups repeat the last one into later bytes.
  ExpectRoute("01 00 01", 3, 0x01, 0x00, 0x01);
  ExpectRoute("00 01", 2, 0x00, 0x01, 0x01);
  ExpectRoute("00 00", 2, 0x00, 0x00, 0x00);
  ExpectRoute("0A", 1, 0x0A, 0x0A, 0x0A);
}

TEST(SubmoduleRoute, LowerCaseAndAnySeparator) {
  // Lower-case digits equal upper-case ones; the separator is not examined.
  ExpectRoute("0a 0b", 2, 0x0A, 0x0B, 0x0B);
  ExpectRoute("ff-7e", 2, 0xFF, 0x7E, 0x7E);
}

TEST(SubmoduleRoute, LengthOutsideTwoToEightIsRejected) {
  // One character and nine characters are refused before any parsing.
  EXPECT_FALSE(ParseSubmoduleRoute("").valid);
  EXPECT_FALSE(ParseSubmoduleRoute("1").valid);
  EXPECT_FALSE(ParseSubmoduleRoute("01 00 01 ").valid);
}

TEST(SubmoduleRoute, GroupMustStartWithHexDigit) {
  // A bad first digit, or a group starting right at the end of the text, is refused; the
  // groups before it stay counted.
  const std::pair<const char*, int> cases[] = {
      {"G1", 0}, {"01 x1", 1}, {"01 ", 1}, {"00 01 zz", 2}, {"01 02 ", 2}};
  for (const auto& [text, length] : cases) {
    const SubmoduleRoute r = ParseSubmoduleRoute(text);
    EXPECT_FALSE(r.valid) << text;
    EXPECT_EQ(r.length, length) << text;
  }
}

TEST(SubmoduleRoute, BadSecondDigitIsFirstDigitTimesSixteen) {
  // A group cut short or with a non-hex second character still gives a fixed value.
  ExpectRoute("01 2", 2, 0x01, 0x20, 0x20);
  ExpectRoute("01 02 3", 3, 0x01, 0x02, 0x30);
  ExpectRoute("4z", 1, 0x40, 0x40, 0x40);
}
