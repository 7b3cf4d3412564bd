#include <sys/stat.h>

#include "seams/ReadOnlyFile.h"

std::FILE* OpenReadOnly(const std::filesystem::path& file) {
  return _wfopen(file.c_str(), L"rb");
}

// The 64-bit call: the plain one holds the size in a long, 32 bits on Windows.
std::uint64_t FileLength(std::FILE* file) {
  struct _stat64 info {};
  if (file == nullptr || _fstat64(_fileno(file), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}
