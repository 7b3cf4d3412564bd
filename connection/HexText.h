#pragma once

#include <cstdint>
#include <string>

// 0 to 15 for 0-9, a-f, A-F; -1 for any other character.
int HexDigitValue(char c);
// ((first & 0x0F) * 16 + second) & 0xFF; callers check the digits first.
std::uint8_t HexPairToByte(char high, char low);
// Two upper-case hex characters, high nibble first.
std::string ByteToHexPair(std::uint8_t byte);
// The Plug-and-Play checksum digits' value: code - '0', less 7 above 9,
// so a lower-case high digit still works but a lower-case low digit does not.
std::uint8_t ChecksumPairValue(char high, char low);
// Lines of 16 bytes: offset, hex bytes, padding tabs, printable characters.
std::string HexDump(const std::uint8_t* bytes, std::size_t count);
