#include <cctype>
#include <cstring>

#include "serial/SerialPort.h"

long SettingsInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    if (value < 100000000L) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

int ParityCode(const std::string& text) {
  if (text.empty()) return 0;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  const char* found = letter == '\0' ? nullptr : std::strchr(kParityLetters, letter);
  return found ? static_cast<int>(found - kParityLetters) : 0;
}

LineSetting OutOfRangeSetting(const LineSettings& line) {
  if (line.baud == 0) return LineSetting::BaudRate;
  if (line.dataBits < 5 || line.dataBits > 8) return LineSetting::DataBits;
  if (line.stopBits != 1 && line.stopBits != 2) return LineSetting::StopBits;
  return LineSetting::None;
}
