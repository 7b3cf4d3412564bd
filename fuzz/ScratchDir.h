#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

// Where the targets that need a file write it on every input: memory when
// the machine has it, as a file rewritten on disk tens of thousands of times
// a minute makes the run wait on the disk instead of fuzzing.
inline std::string ScratchDir() {
  const char* shm = "/dev/shm";
  if (::access(shm, W_OK) == 0) return shm;
  return std::filesystem::temp_directory_path().string();
}
