#pragma once

#include <cstdint>
#include <fstream>
#include <string>

// A small sequential reader for files of numbered sections and numeric keys:
// position at a section and take its first entry, then take the following
// entries one at a time. Lines of any length are read whole.
class CIniFile {
 public:
  explicit CIniFile(const std::string& path);

  // section >= 0: the first entry of that section; section < 0: the next
  // entry after the last line read. key and value are written only on true.
  bool GetEntry(int section, std::uint32_t& key, std::string& value);
  // Line numbers (from 1, empty lines included) of the header that contains
  // "[" + headerText + "]" and of the section's last non-empty line.
  bool FindSection(const std::string& headerText, long& first, long& last);

 private:
  bool ReadLine(std::string& line);
  bool SeekToSection(int section);
  void Rewind();

  std::ifstream file_;
  bool open_ = false;
};
