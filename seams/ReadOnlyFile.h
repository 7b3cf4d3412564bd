#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

// Opens a file for reading in binary mode by its native name (wide on
// Windows); nullptr when it cannot be opened.
std::FILE* OpenReadOnly(const std::filesystem::path& file);

// The file's length now, from the file itself rather than from what stdio
// has buffered of it; 0 when it cannot be told.
std::uint64_t FileLength(std::FILE* file);
