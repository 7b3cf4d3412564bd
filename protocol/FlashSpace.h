#pragma once

#include <cstdint>

// Entries of the flash space table; index 0 is never used.
inline constexpr int kFlashSpaceEntries = 32;

// One flashable memory space that a controller reported.
struct FlashSpace {
  std::uint8_t spaceDescriptor = 0;  // low nibble space type, high nibble access type
  int spaceReadWrite = 0;
  std::uint32_t spaceMaxBlock = 0;
  std::uint32_t spaceStart = 0;
  std::uint32_t spaceSize = 0;
  std::uint8_t spaceCpu = 0;
};

// How a capabilities reply describes a space: the descriptor, then the
// maximum block, start and size as 32-bit little-endian words.
inline constexpr int kSpaceRecordBytes = 13;
inline constexpr std::uint8_t kSpaceTypeMask = 0x0F;
inline constexpr int kSpaceTypeCode = 3;
inline constexpr int kSpaceTypeBootLoader = 6;
inline constexpr int kAccessReadWrite = 3;

// Only code and boot-loader spaces take an image.
inline bool IsFlashableSpaceType(int type) {
  return type == kSpaceTypeCode || type == kSpaceTypeBootLoader;
}
