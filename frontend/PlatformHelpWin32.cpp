#include "frontend/PlatformHelp.h"
#include "resources/Strings.h"

std::string FilesHelpText() {
  return Format(kStrHelpFilesWin32);
}

bool IsPlatformHelpWord(const std::string& word) {
  return word == "/?";
}
