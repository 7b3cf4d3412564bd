#include "protocol/UpsLink.h"

// Placeholder so the tree links while this file's owner writes it.
bool CUpsLink::ProgramImage(const std::uint8_t*, std::uint32_t, std::uint8_t, std::uint32_t, int) {
  return false;
}
