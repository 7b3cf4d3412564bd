#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The fields of a valid Plug-and-Play string; an extension field that the
// string does not carry is empty.
struct PnpFields {
  int revision = 0;          // times 100
  std::string manufacturer;  // the three-letter EISA id
  std::string product;       // four characters
  std::optional<std::string> serialNumber;
  std::optional<std::string> deviceClass;
  std::optional<std::string> compatible;
  std::optional<std::string> userName;
  unsigned checksum = 0;  // calculated
  char embedded[2] = {};  // the two checksum digits the string carries
  bool checksumMatches = false;
};

// The Plug-and-Play checksum digits' value: code - '0', less 7 above 9,
// so a lower-case high digit still works but a lower-case low digit does not.
std::uint8_t ChecksumPairValue(char high, char low);

// The fields of a string of `length` characters ("(" to ")"); nothing when
// it is not a valid string.
std::optional<PnpFields> ParsePnpString(const char* pnp, int length);

// The lines that describe a captured Plug-and-Play string of `length`
// characters (from "(" to ")"): its fields and checksum, or, when it is not
// a valid string, "Invalid Plug-n-Play String" and a hex dump.
std::string DescribePnpString(const char* pnp, int length);
