#include <sys/stat.h>

#include "seams/ReadOnlyFile.h"

std::FILE* OpenReadOnly(const std::filesystem::path& file) {
  return std::fopen(file.c_str(), "rb");
}

std::uint64_t FileLength(std::FILE* file) {
  struct stat info {};
  if (file == nullptr || ::fstat(fileno(file), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}
