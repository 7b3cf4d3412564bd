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

constexpr const char* kHelp =
    "Usage: tobrane-makerom OUT.rom [OPTIONS]\n"
    "\n"
    "Writes a ROM image with a valid 20-byte header and generated ROM data, for\n"
    "trying the loader against tobrane-upssim. Numbers are decimal, or hex\n"
    "with 0x.\n"
    "\n"
    "Options:\n"
    "  --ups N        the UPS type code the image is for (500)\n"
    "  --module N     the module code (1)\n"
    "  --load N       the load address (0x8000)\n"
    "  --size N       the ROM data size in bytes (512)\n"
    "  --version N    the firmware version, major and minor bytes (0x0300)\n"
    "  --seed N       varies the generated ROM data (0)\n"
    "  --help         show this help\n"
    "\n"
    "Exit status:\n"
    "  0    the image was written\n"
    "  1    OUT.rom could not be written\n"
    "  2    usage error\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--help") {
    std::fputs(kHelp, stdout);
    return 0;
  }
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
