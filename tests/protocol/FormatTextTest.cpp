#include <gtest/gtest.h>

#include "resources/Strings.h"

// The string table's formatter: printf conversions checked against their arguments.
TEST(FormatText, RendersTheConversionsTheTextsUse) {
  EXPECT_EQ(FormatText("%2X.%02X", {1, 5}), " 1.05");
  EXPECT_EQ(FormatText("%08X", {0x1234u}), "00001234");
  EXPECT_EQ(FormatText("%2i/%2i/%4i", {6, 15, 2004}), " 6/15/2004");
  EXPECT_EQ(FormatText("%c%c%c", {'A', 'B', 'C'}), "ABC");
  EXPECT_EQ(FormatText("%06X\t", {16}), "000010\t");
  EXPECT_EQ(FormatText("100%%", {}), "100%");
}

TEST(FormatText, TextArgumentsAreDataNotFormats) {
  EXPECT_EQ(FormatText("\tUPS ID is %u  = %s\r\n", {280u, std::string("50% %s %n")}),
            "\tUPS ID is 280  = 50% %s %n\r\n");
  // A long text (a deep path, a help paragraph) arrives whole, with or without a width.
  const std::string longText(700, 'x');
  EXPECT_EQ(FormatText("[%s]", {longText}), "[" + longText + "]");
  EXPECT_EQ(FormatText("%-5s|", {longText}), longText + "|");
}

TEST(FormatText, MismatchesAreReportedNotUndefined) {
  EXPECT_EQ(FormatText("%s", {5}), "%s [format error]");
  EXPECT_EQ(FormatText("%i %i", {5}), "%i %i [format error]");
  EXPECT_EQ(FormatText("%i", {5, 6}), "%i [format error]");
  EXPECT_EQ(FormatText("%n", {5}), "%n [format error]");
}

TEST(StringTable, EveryIdHasItsText) {
  EXPECT_STREQ(Text(kStrAppTitle), "Tobrane PROM Loader");
  EXPECT_STREQ(Text(kStrErrChecksum), "CheckSum Error");
  EXPECT_STREQ(Text(static_cast<StringId>(kStringCount)), "");
}
