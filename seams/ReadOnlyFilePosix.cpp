#include "seams/ReadOnlyFile.h"

std::FILE* OpenReadOnly(const std::filesystem::path& file) {
  return std::fopen(file.c_str(), "rb");
}
