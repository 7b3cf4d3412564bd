#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The open ROM image and the facts its header gave.
struct CRomImageState {
  std::string romFileName;  // empty when no image is open
  FilePtr romFile;
  std::uint16_t headerSize = 0;
  int romDataSize = 0;  // never below 0
  std::uint32_t loadAddress = 0;
  std::uint8_t moduleCode = 0;
  std::uint8_t selectedSpace = 0;  // 1 to 31; 0 = none
  int programmed = 0;
  // Set while Program UPS or Select SubModule runs: Close and Program wait.
  int operation = 0;
  bool lastVerifyPassed = false;  // the last Verify Program's outcome
  // Set while the load address waits for the spaces of the module behind a
  // route: where its line goes in the transcript.
  std::optional<std::size_t> rangeLineAt;
};
