#pragma once

#include <array>
#include <cstdint>
#include <string>

// A route of one to three hops typed as hex groups ("01 00 01").
struct SubmoduleRoute {
  bool valid = false;
  int length = 0;  // groups parsed, also those before a rejected group
  // Fewer groups repeat the last one entered into the later bytes.
  std::array<std::uint8_t, 3> bytes{};
};

// Accepts 2 to 8 characters; a group starts at every third position and its
// first character must be a hex digit (a group starting at the very end of
// the text is not). A second character that is not one
// (or is missing) counts as 0, so the group is its first digit x 16.
SubmoduleRoute ParseSubmoduleRoute(const std::string& text);
