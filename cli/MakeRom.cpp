// tobrane-makerom: writes a ROM image with a valid 20-byte header, so the
// examples and tests need no binary files in the repository.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/SampleRom.h"

namespace {

struct RomRequest {
  std::string out;
  SampleRomFields fields;
};

bool ParseArgs(int argc, char** argv, RomRequest& s) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--", 0) != 0) {
      s.out = a;
      continue;
    }
    if (i + 1 >= argc) return false;
    const unsigned long v = std::strtoul(argv[++i], nullptr, 0);
    if (a == "--load")
      s.fields.load = static_cast<std::uint32_t>(v);
    else if (a == "--ups")
      s.fields.ups = static_cast<std::uint16_t>(v);
    else if (a == "--module")
      s.fields.module = static_cast<std::uint16_t>(v);
    else if (a == "--version")
      s.fields.version = static_cast<std::uint16_t>(v);
    else if (a == "--size")
      s.fields.size = static_cast<std::uint32_t>(v);
    else if (a == "--seed")
      s.fields.seed = static_cast<std::uint8_t>(v);
    else
      return false;
  }
  return !s.out.empty();
}

}  // namespace

int main(int argc, char** argv) {
  RomRequest request;
  if (!ParseArgs(argc, argv, request)) {
    std::fprintf(stderr,
                 "usage: tobrane-makerom OUT.rom [--ups 500] [--module 1] [--load 0x8000] [--size 512] "
                 "[--version 0x0300] [--seed 0]\n");
    return 2;
  }
  const std::vector<std::uint8_t> image = BuildSampleRom(request.fields);
  std::FILE* f = std::fopen(request.out.c_str(), "wb");
  if (!f || std::fwrite(image.data(), 1, image.size(), f) != image.size() || std::fclose(f) != 0) {
    std::perror(request.out.c_str());
    return 1;
  }
  return 0;
}
