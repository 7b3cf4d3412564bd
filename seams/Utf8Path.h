#pragma once

#include <filesystem>
#include <string>

// The program's paths are UTF-8 texts. A path made from one directly would be
// read in Windows' ANSI code page, where a name in another script cannot be
// said; made from UTF-8 it opens by its native (wide there) name everywhere.
inline std::filesystem::path Utf8Path(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
