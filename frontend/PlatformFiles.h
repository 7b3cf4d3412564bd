#pragma once

#include <string>
#include <vector>

// Where the program's files live on each platform.

// The folders searched for the model table after the current directory:
// the user's own, then the one installed with the program.
std::vector<std::string> ModelTableFolders();
