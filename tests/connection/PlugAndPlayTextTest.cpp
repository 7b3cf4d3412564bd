#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "connection/PlugAndPlay.h"
#include "protocol/HexText.h"

namespace {

// The body from "(" on, closed with its checksum digits (upper case) and ")".
std::string Closed(const std::string& body) {
  unsigned sum = ')';
  for (unsigned char c : body) sum += c;
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", sum & 0xFF);
  return body + digits + ")";
}

std::string Describe(const std::string& s) {
  return DescribePnpString(s.c_str(), static_cast<int>(s.size()));
}

const std::string kFixedLines =
    "Plug-n-Play data:\r\n"
    "\tConforms to Plug and Play revision 1.00\r\n"
    "\tEISA Mfr ID is OST\r\n"
    "\tProduct ID is 0500\r\n";

}  // namespace

TEST(PlugAndPlayText, FifteenCharactersAreParsedFourteenAreDumped) {
  // "Ad" is revision 1.00: only the low six bits of each character count. Without "\" at
  // position 10 no extension field is logged.
  const std::string fifteen = Closed("(AdOST0500XY");
  ASSERT_EQ(fifteen.size(), 15u);
  EXPECT_EQ(Describe(fifteen), kFixedLines +
                                   "\tChecksum is correct\r\n"
                                   "\t\tCalculated Checksum is " +
                                   fifteen.substr(12, 2) + "\r\n\t\tEmbedded Checksum is " +
                                   fifteen.substr(12, 2) + "\r\n");
  const std::string fourteen = Closed("(AdOST0500X");
  ASSERT_EQ(fourteen.size(), 14u);
  EXPECT_EQ(Describe(fourteen), "Invalid Plug-n-Play String\r\n" +
                                    HexDump(reinterpret_cast<const std::uint8_t*>(fourteen.data()), 14) +
                                    "\r\n");
}

TEST(PlugAndPlayText, ExtensionFieldsAndAWrongChecksum) {
  const std::string good = Closed("(AdOST0500\\00012345\\UPS\\PNP0C05\\Tobrane 500");
  EXPECT_EQ(Describe(good).substr(kFixedLines.size()),
            "\tProduct Serial Number is 00012345\r\n"
            "\tClass Name is UPS\r\n"
            "\tCompatible Device IDs are PNP0C05\r\n"
            "\tUser Name is Tobrane 500\r\n"
            "\tChecksum is correct\r\n"
            "\t\tCalculated Checksum is " +
                good.substr(good.size() - 3, 2) + "\r\n\t\tEmbedded Checksum is " +
                good.substr(good.size() - 3, 2) + "\r\n");
  // A mismatch gives the two digits to the user name.
  const std::string bad = "(AdOST0500\\1\\UPS\\\\Tobrane 500ZZ)";
  const std::string text = Describe(bad);
  EXPECT_NE(text.find("\tUser Name is Tobrane 500ZZ\r\n\tChecksum is INCORRECT\r\n"), std::string::npos);
  EXPECT_NE(text.find("\t\tEmbedded Checksum is ZZ\r\n"), std::string::npos);
}

TEST(PlugAndPlayText, ChecksumDigitsInLowerCase) {
  // The high digit's extra bits fall outside the byte; the low digit's do not.
  EXPECT_EQ(ChecksumPairValue('a', '5'), 0xA5);
  EXPECT_EQ(ChecksumPairValue('A', '5'), 0xA5);
  EXPECT_EQ(ChecksumPairValue('5', 'a'), 0x7A);
  // A user name padded until the checksum's low digit is a letter, which then goes lower case.
  std::string body = "(AdOST0500\\1\\\\\\User";
  while (Closed(body)[body.size() + 1] < 'A') body += 'a';  // 0x61 moves the low digit on by one
  std::string lower = Closed(body);
  lower[body.size() + 1] = static_cast<char>(lower[body.size() + 1] - 'A' + 'a');
  const std::string text = Describe(lower);
  EXPECT_NE(text.find("\tUser Name is " + body.substr(15) + lower.substr(body.size(), 2) +
                      "\r\n\tChecksum is INCORRECT\r\n"),
            std::string::npos)
      << text;
}

TEST(PlugAndPlayText, HexDumpPadsShortLinesToTheCharacterColumn) {
  std::uint8_t bytes[17];
  for (int i = 0; i < 17; ++i) bytes[i] = static_cast<std::uint8_t>('A' + i);
  bytes[16] = 0x80;
  EXPECT_EQ(HexDump(bytes, 17),
            "000000\t41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 \tABCDEFGHIJKLMNOP\r\n"
            "000010\t80 \t\t\t\t\t\t.\r\n");
}

TEST(PlugAndPlayText, AnyLengthAndAnyByteIsSafe) {
  // Too long, not starting with "(", or full of bytes above 127: dumped or parsed, never past the string.
  for (int length : {0, 1, 14, 15, 255, 256}) {
    std::string s(static_cast<std::size_t>(length), '\xC8');
    if (length > 0) s[0] = '(';
    const std::string text = Describe(s);
    EXPECT_EQ(text.rfind(length >= 15 && length <= 255 ? "Plug-n-Play data:" : "Invalid", 0), 0u) << length;
  }
}
