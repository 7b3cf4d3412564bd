#include <cstdlib>

#include "frontend/PlatformFiles.h"

namespace {

// The XDG base directory rule: a relative XDG_CONFIG_HOME is ignored.
std::string ConfigHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config";
}

}  // namespace

std::vector<std::string> ModelTableFolders() {
  return {ConfigHome() + "/tobrane-loader/", TOBRANE_SHARED_DATA_DIR "/"};
}
