#include "frontend/PlatformHelp.h"
#include "resources/Strings.h"

std::string FilesHelpText() {
  return Format(kStrHelpFilesPosix, {TOBRANE_SHARED_DATA_DIR "/", TOBRANE_SCHEMA_PATH});
}

bool IsPlatformHelpWord(const std::string&) {
  return false;
}
