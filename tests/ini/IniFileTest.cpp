#include <gtest/gtest.h>

#include "ini/IniFile.h"
#include "tests/support/TempFile.h"

namespace {

const char* const kFiveLines = "[0]\n280 = Model A ; comment\n; note\n0x119=Model B\n[1]\n";

}  // namespace

// The five-line file: two entries, a skipped comment, then the next header ends the section.
TEST(IniFile, ReadsASectionSequentially) {
  CTempFile file(kFiveLines);
  CIniFile ini(file.Path());
  std::uint32_t key = 0;
  std::string value;
  ASSERT_TRUE(ini.GetEntry(0, key, value));
  EXPECT_EQ(key, 280u);
  EXPECT_EQ(value, "Model A");
  ASSERT_TRUE(ini.GetEntry(-1, key, value));
  EXPECT_EQ(key, 281u);
  EXPECT_EQ(value, "Model B");
  key = 7;
  EXPECT_FALSE(ini.GetEntry(-1, key, value));
  EXPECT_FALSE(ini.GetEntry(-1, key, value));
  EXPECT_EQ(key, 7u);
  EXPECT_EQ(value, "Model B");
}

// After a header ends a read, the next read continues with that section's entries.
TEST(IniFile, ContinuesIntoTheNextSection) {
  CTempFile file("[0]\n1=a\n[1]\n2 = b\n");
  CIniFile ini(file.Path());
  std::uint32_t key = 0;
  std::string value;
  ASSERT_TRUE(ini.GetEntry(0, key, value));
  EXPECT_FALSE(ini.GetEntry(-1, key, value));
  ASSERT_TRUE(ini.GetEntry(-1, key, value));
  EXPECT_EQ(key, 2u);
  EXPECT_EQ(value, "b");
}

// Lines with key 0 or without "=" are skipped; "n=" gives an empty value; octal keys read.
TEST(IniFile, SkipsMalformedLines) {
  CTempFile file("[0]\nword = 5\n  12 no equals\n  017 =  x y  \n9=\n");
  CIniFile ini(file.Path());
  std::uint32_t key = 0;
  std::string value;
  ASSERT_TRUE(ini.GetEntry(0, key, value));
  EXPECT_EQ(key, 15u);
  EXPECT_EQ(value, "x y");
  ASSERT_TRUE(ini.GetEntry(-1, key, value));
  EXPECT_EQ(key, 9u);
  EXPECT_EQ(value, "");
}

// "[10]" is not section 1 or 0, and a missing section gives false without moving the reader.
TEST(IniFile, SectionHeadersNeedBothBrackets) {
  CTempFile file("[10]\n5=ten\n[1]\n6=one\n");
  CIniFile ini(file.Path());
  std::uint32_t key = 0;
  std::string value;
  EXPECT_FALSE(ini.GetEntry(0, key, value));
  ASSERT_TRUE(ini.GetEntry(1, key, value));
  EXPECT_EQ(value, "one");
  CIniFile again(file.Path());
  ASSERT_TRUE(again.GetEntry(10, key, value));
  EXPECT_FALSE(again.GetEntry(3, key, value));
  EXPECT_FALSE(again.GetEntry(-1, key, value));
  ASSERT_TRUE(again.GetEntry(-1, key, value));
  EXPECT_EQ(value, "one");
}

// FindSection reports the header line and the section's last non-empty line.
TEST(IniFile, FindSectionLineNumbers) {
  CTempFile file("x\n[2]\n\n1=a\n\n[3]\n");
  CIniFile ini(file.Path());
  long first = 0;
  long last = 0;
  ASSERT_TRUE(ini.FindSection("2", first, last));
  EXPECT_EQ(first, 2);
  EXPECT_EQ(last, 4);
  EXPECT_FALSE(ini.FindSection("4", first, last));
}

// A missing file: every call returns false.
TEST(IniFile, MissingFileFindsNothing) {
  CIniFile ini("/nonexistent/tobrane/OEMModel.ini");
  std::uint32_t key = 0;
  std::string value;
  long first = 0;
  long last = 0;
  EXPECT_FALSE(ini.GetEntry(0, key, value));
  EXPECT_FALSE(ini.GetEntry(-1, key, value));
  EXPECT_FALSE(ini.FindSection("0", first, last));
}

// CRLF ends, a 1 MB line, NUL bytes and a huge key are read without harm.
TEST(IniFile, HostileContentIsReadSafely) {
  std::string content = "[0]\r\n";
  content += "1=" + std::string(1 << 20, 'L') + "\r\n";
  content += std::string("2=na\0me\r\n", 9);
  content += "4294967316=wraps\r\n";
  content += "3 = crlf \r\n";
  CTempFile file(content);
  CIniFile ini(file.Path());
  std::uint32_t key = 0;
  std::string value;
  ASSERT_TRUE(ini.GetEntry(0, key, value));
  EXPECT_EQ(value.size(), 1u << 20);
  ASSERT_TRUE(ini.GetEntry(-1, key, value));
  EXPECT_EQ(key, 2u);
  EXPECT_EQ(value, "na");
  ASSERT_TRUE(ini.GetEntry(-1, key, value));
  EXPECT_EQ(key, 0xFFFFFFFFu);
  ASSERT_TRUE(ini.GetEntry(-1, key, value));
  EXPECT_EQ(key, 3u);
  EXPECT_EQ(value, "crlf");
}
