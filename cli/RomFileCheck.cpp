#include "cli/RomFileCheck.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "resources/Strings.h"
#include "seams/Utf8Path.h"

namespace fs = std::filesystem;

std::string RomFileProblem(const std::string& path) {
  const fs::path file = Utf8Path(path);
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (error) return Format(kStrCliPathReason, {path, error.message()});
  if (fs::is_directory(status)) return Format(kStrCliRomIsDirectory, {path});
  if (!fs::is_regular_file(status)) return Format(kStrCliRomNotRegular, {path});
  if (!std::ifstream(file, std::ios::binary)) return Format(kStrCliPathReason, {path, std::strerror(errno)});
  return {};
}
