#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "resources/Strings.h"

// What the first bytes of a ROM image file say. Fields come from the first
// 20 bytes that exist; missing bytes read as 0.
struct RomHeader {
  static constexpr std::size_t kRecordSize = 20;
  static constexpr std::uint16_t kNoMagicSize = 2;

  std::array<std::uint8_t, kRecordSize> bytes{};
  bool magic = false;
  // Size low + 16 x size high + 2 with the magic bytes, 2 without them. The
  // ROM data start right after it.
  std::uint16_t declaredSize = kNoMagicSize;

  std::uint16_t Word(std::size_t offset) const;
  std::uint32_t LoadAddress() const;
  std::uint16_t UpsId() const { return Word(8); }
  std::uint16_t ModuleCode() const { return Word(10); }
  std::uint16_t CodeVersion() const { return Word(12); }
  std::uint8_t VersionMajor() const { return bytes[13]; }
  std::uint8_t VersionMinor() const { return bytes[12]; }
  std::uint8_t DateFirst() const { return bytes[15]; }
  std::uint8_t DateSecond() const { return bytes[14]; }
  std::uint16_t Year() const { return Word(16); }

  // The checksum covers the declared header's words after the magic; the
  // word after them holds it. Sizes outside 4 to 20 are held to that range.
  std::size_t ChecksumOffset() const;
  std::uint16_t CalculatedChecksum() const;
  std::uint16_t StoredChecksum() const { return Word(ChecksumOffset()); }
};

// Reads the header from the start of an open file.
RomHeader ReadRomHeader(std::FILE* file);

// Parses `count` leading bytes of a file (any number; only the first 20 count).
RomHeader ParseRomHeader(const std::uint8_t* data, std::size_t count);

// File length less the declared header, never below 0 (a header longer than
// the file leaves no ROM data).
int RomDataSize(std::uint64_t fileLength, std::uint16_t declaredSize);

// Module codes 0 to 11 have names; the others are unknown.
inline constexpr int kNamedModules = 12;
static_assert(kStrModule11 == kStrModule0 + kNamedModules - 1, "the module names stand in code order");

// The name of a module code below kNamedModules.
inline StringId ModuleNameId(std::uint16_t moduleCode) {
  return static_cast<StringId>(kStrModule0 + moduleCode);
}
