#include "ini/IniFile.h"

#include <limits>

#include "protocol/HexText.h"
#include "seams/Utf8Path.h"

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";

std::string TrimLeft(const std::string& text) {
  const std::size_t start = text.find_first_not_of(kWhiteSpace);
  return start == std::string::npos ? std::string() : text.substr(start);
}

std::string TrimRight(const std::string& text) {
  const std::size_t end = text.find_last_not_of(kWhiteSpace);
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// An unsigned key in decimal, 0x/0X hexadecimal or 0-prefixed octal, read up
// to the first character that cannot belong to it. Too large saturates, so a
// huge key never wraps onto a small one.
std::uint32_t ParseKey(const std::string& text) {
  std::size_t pos = 0;
  unsigned base = 10;
  if (text.size() > 1 && text[0] == '0') {
    const bool hex = (text[1] == 'x' || text[1] == 'X') && text.size() > 2 && HexDigitValue(text[2]) >= 0;
    base = hex ? 16 : 8;
    pos = hex ? 2 : 1;
  }
  std::uint64_t value = 0;
  for (; pos < text.size(); ++pos) {
    const int digit = HexDigitValue(text[pos]);
    if (digit < 0 || digit >= static_cast<int>(base)) break;
    value = value * base + static_cast<unsigned>(digit);
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

CIniFile::CIniFile(const std::string& path) : file_(Utf8Path(path), std::ios::binary) {
  open_ = file_.is_open();
}

// One line without its line end. A NUL byte ends the line's text, as it does
// for every C-string consumer of the names read here.
bool CIniFile::ReadLine(std::string& line) {
  if (!std::getline(file_, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::size_t nul = line.find('\0');
  if (nul != std::string::npos) line.erase(nul);
  return true;
}

void CIniFile::Rewind() {
  file_.clear();
  file_.seekg(0);
}

bool CIniFile::FindSection(const std::string& headerText, long& first, long& last) {
  if (!open_) return false;
  const std::string search = "[" + headerText + "]";
  first = 0;
  last = 0;
  long lineNumber = 0;
  Rewind();
  std::string line;
  while (ReadLine(line)) {
    ++lineNumber;
    if (line.empty()) continue;
    if (line.find(search) != std::string::npos) {
      first = lineNumber;
      last = lineNumber;
    } else if (first != 0) {
      if (line[0] == '[') break;
      last = lineNumber;
    }
  }
  return last != 0;
}

// Leaves the file after the section's header line; a missing section leaves
// the position where it was.
bool CIniFile::SeekToSection(int section) {
  file_.clear();
  const std::streampos saved = file_.tellg();
  long first = 0;
  long last = 0;
  if (!FindSection(std::to_string(section), first, last)) {
    file_.clear();
    file_.seekg(saved);
    return false;
  }
  Rewind();
  std::string line;
  long skipped = 0;
  while (skipped < first && ReadLine(line)) ++skipped;
  return true;
}

bool CIniFile::GetEntry(int section, std::uint32_t& key, std::string& value) {
  if (!open_) return false;
  if (section >= 0 && !SeekToSection(section)) return false;
  std::string raw;
  while (ReadLine(raw)) {
    const std::string line = TrimLeft(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') return false;
    const std::uint32_t lineKey = ParseKey(line);
    const std::size_t equals = line.find('=');
    if (lineKey == 0 || equals == std::string::npos) continue;
    std::string text = TrimLeft(line.substr(equals + 1));
    const std::size_t comment = text.find(';');
    if (comment != std::string::npos) text.erase(comment);
    key = lineKey;
    value = TrimRight(text);
    return true;
  }
  return false;
}
