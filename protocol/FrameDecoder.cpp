#include "protocol/UpsLink.h"

// Placeholder so the tree links while this file's owner writes it.
bool CUpsLink::DecodeFrames(const std::uint8_t*, std::uint16_t, std::uint8_t*, std::uint16_t,
                            std::uint16_t& dataCount, std::uint8_t& errorCode,
                            std::uint8_t& blockByte) const {
  dataCount = 0;
  errorCode = 0;
  blockByte = 0;
  return false;
}
std::string CUpsLink::ErrorName(int) const {
  return {};
}
