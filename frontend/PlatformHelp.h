#pragma once

#include <string>

// What help looks like on each platform.

// The --help paragraph that names the settings, the model table's search
// order and the run report's schema as they are installed here.
std::string FilesHelpText();
// A word that asks for help in this platform's own convention ("/?" on
// Windows), besides -h and --help.
bool IsPlatformHelpWord(const std::string& word);
