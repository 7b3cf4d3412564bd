#include "protocol/HexText.h"

#include "resources/Strings.h"

namespace {

constexpr std::size_t kDumpLineBytes = 16;
constexpr std::size_t kCharacterColumn = 56;

}  // namespace

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ByteToHexPair(std::uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  text.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += ByteToHexPair(bytes[i]);
  }
  return text;
}

std::string HexDump(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  for (std::size_t start = 0; start < count; start += kDumpLineBytes) {
    const std::size_t n = std::min(kDumpLineBytes, count - start);
    text += Format(kStrHexDumpOffset, {start});
    for (std::size_t i = 0; i < n; ++i) {
      const std::string pair = ByteToHexPair(bytes[start + i]);
      text += Format(kStrHexDumpByte, {pair[0], pair[1]});
    }
    for (std::size_t c = 3 * n + 7; c < kCharacterColumn; c += 8) text += Text(kStrHexDumpPad);
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint8_t b = bytes[start + i];
      text += (b >= 32 && b <= 127) ? static_cast<char>(b) : '.';
    }
    text += Text(kStrLineEnd);
  }
  return text;
}
