// tobrane-makerom: writes a ROM image with a valid 20-byte header, so the
// examples and tests need no binary files in the repository.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct RomRequest {
  std::string out;
  std::uint32_t load = 0x8000;
  std::uint16_t ups = 500;
  std::uint16_t module = 1;
  std::uint16_t version = 0x0300;
  std::uint16_t year = 2026;
  std::uint32_t size = 512;
  std::uint8_t seed = 0;
};

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::vector<std::uint8_t> BuildImage(const RomRequest& s) {
  std::vector<std::uint8_t> b(20 + s.size);
  b[0] = 0xAA;
  b[1] = 0xEE;
  b[2] = 18;  // declared header size 18 + 16 * 0 + 2 = 20
  Put16(b, 4, static_cast<std::uint16_t>(s.load & 0xFFFF));
  Put16(b, 6, static_cast<std::uint16_t>(s.load >> 16));
  Put16(b, 8, s.ups);
  Put16(b, 10, s.module);
  Put16(b, 12, s.version);
  b[14] = 7;   // day
  b[15] = 12;  // month
  Put16(b, 16, s.year);
  std::uint16_t sum = 0;
  for (std::size_t at = 2; at <= 16; at += 2) sum = static_cast<std::uint16_t>(sum + b[at] + 256 * b[at + 1]);
  Put16(b, 18, sum);
  for (std::uint32_t i = 0; i < s.size; ++i) b[20 + i] = static_cast<std::uint8_t>(i * 7 + s.seed);
  return b;
}

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
      s.load = static_cast<std::uint32_t>(v);
    else if (a == "--ups")
      s.ups = static_cast<std::uint16_t>(v);
    else if (a == "--module")
      s.module = static_cast<std::uint16_t>(v);
    else if (a == "--version")
      s.version = static_cast<std::uint16_t>(v);
    else if (a == "--size")
      s.size = static_cast<std::uint32_t>(v);
    else if (a == "--seed")
      s.seed = static_cast<std::uint8_t>(v);
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
  const std::vector<std::uint8_t> image = BuildImage(request);
  std::FILE* f = std::fopen(request.out.c_str(), "wb");
  if (!f || std::fwrite(image.data(), 1, image.size(), f) != image.size() || std::fclose(f) != 0) {
    std::perror(request.out.c_str());
    return 1;
  }
  return 0;
}
