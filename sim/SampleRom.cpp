#include "sim/SampleRom.h"

namespace {

constexpr std::size_t kHeaderSize = 20;

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

std::vector<std::uint8_t> SampleRomData(const SampleRomFields& fields) {
  std::vector<std::uint8_t> data(fields.size);
  for (std::uint32_t i = 0; i < fields.size; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + fields.seed);
  return data;
}

std::vector<std::uint8_t> BuildSampleRom(const SampleRomFields& fields) {
  std::vector<std::uint8_t> b(kHeaderSize);
  b[0] = 0xAA;
  b[1] = 0xEE;
  b[2] = 18;  // declared header size 18 + 16 * 0 + 2 = 20
  Put16(b, 4, static_cast<std::uint16_t>(fields.load & 0xFFFF));
  Put16(b, 6, static_cast<std::uint16_t>(fields.load >> 16));
  Put16(b, 8, fields.ups);
  Put16(b, 10, fields.module);
  Put16(b, 12, fields.version);
  b[14] = 7;   // day
  b[15] = 12;  // month
  Put16(b, 16, fields.year);
  std::uint16_t sum = 0;
  for (std::size_t at = 2; at <= 16; at += 2) sum = static_cast<std::uint16_t>(sum + b[at] + 256 * b[at + 1]);
  Put16(b, 18, sum);
  const std::vector<std::uint8_t> data = SampleRomData(fields);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}
