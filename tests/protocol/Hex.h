#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Frames in tests are written and compared as hex text: "AB 01 A0 B4".
inline std::string ToHex(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  char buffer[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(buffer, sizeof buffer, out.empty() ? "%02X" : " %02X", b);
    out += buffer;
  }
  return out;
}

inline std::vector<std::uint8_t> FromHex(const std::string& text) {
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 1 < text.size();) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    out.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return out;
}
