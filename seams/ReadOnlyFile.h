#pragma once

#include <cstdio>
#include <filesystem>

// Opens a file for reading in binary mode by its native name (wide on
// Windows); nullptr when it cannot be opened.
std::FILE* OpenReadOnly(const std::filesystem::path& file);
