#include "seams/ReadOnlyFile.h"

std::FILE* OpenReadOnly(const std::filesystem::path& file) {
  return _wfopen(file.c_str(), L"rb");
}
