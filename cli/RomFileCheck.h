#pragma once

#include <string>

// Why a path cannot be a ROM image (missing, a directory, not a regular
// file, unreadable), so that no time goes into a Connect; empty when it can.
std::string RomFileProblem(const std::string& path);
