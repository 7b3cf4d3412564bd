#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// 0 to 15 for 0-9, a-f, A-F; -1 for any other character.
int HexDigitValue(char c);
// Two upper-case hex characters, high nibble first.
std::string ByteToHexPair(std::uint8_t byte);
// The bytes as upper-case pairs with a space between: "AB 01 A0".
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);
// Lines of 16 bytes: offset, hex bytes, padding tabs, printable characters.
std::string HexDump(const std::uint8_t* bytes, std::size_t count);
