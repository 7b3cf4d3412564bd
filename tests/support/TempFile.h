#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

// A file in the temporary directory that is removed when the test ends.
class CTempFile {
 public:
  explicit CTempFile(const std::string& content) {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("tobrane-ini-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".ini");
    std::ofstream(path_, std::ios::binary) << content;
  }
  ~CTempFile() { std::filesystem::remove(path_); }
  CTempFile(const CTempFile&) = delete;
  CTempFile& operator=(const CTempFile&) = delete;
  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};
