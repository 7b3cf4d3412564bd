#include "rom/RomHeader.h"

#include <algorithm>
#include <climits>

namespace {

constexpr std::uint8_t kMagic1 = 0xAA;
constexpr std::uint8_t kMagic2 = 0xEE;
constexpr std::size_t kFirstChecksummedWord = 2;

}  // namespace

std::uint16_t RomHeader::Word(std::size_t offset) const {
  if (offset + 1 >= kRecordSize) return 0;
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t RomHeader::LoadAddress() const {
  return static_cast<std::uint32_t>(Word(4)) | (static_cast<std::uint32_t>(Word(6)) << 16);
}

std::size_t RomHeader::ChecksumOffset() const {
  const std::size_t bounded = std::clamp<std::size_t>(declaredSize, 4, kRecordSize);
  return ((bounded - 2) / 2) * 2;
}

std::uint16_t RomHeader::CalculatedChecksum() const {
  std::uint16_t sum = 0;
  for (std::size_t offset = kFirstChecksummedWord; offset < ChecksumOffset(); offset += 2) {
    sum = static_cast<std::uint16_t>(sum + Word(offset));
  }
  return sum;
}

RomHeader ParseRomHeader(const std::uint8_t* data, std::size_t count) {
  RomHeader header;
  std::copy_n(data, std::min(count, RomHeader::kRecordSize), header.bytes.begin());
  header.magic = count >= 2 && data[0] == kMagic1 && data[1] == kMagic2;
  if (header.magic && count >= 4) {
    header.declaredSize = static_cast<std::uint16_t>(data[2] + 16 * data[3] + 2);
  }
  return header;
}

RomHeader ReadRomHeader(std::FILE* file) {
  std::array<std::uint8_t, RomHeader::kRecordSize> first{};
  std::rewind(file);
  const std::size_t got = std::fread(first.data(), 1, first.size(), file);
  return ParseRomHeader(first.data(), got);
}

int RomDataSize(std::uint64_t fileLength, std::uint16_t declaredSize) {
  if (fileLength <= declaredSize) return 0;
  return static_cast<int>(std::min<std::uint64_t>(fileLength - declaredSize, INT_MAX));
}
