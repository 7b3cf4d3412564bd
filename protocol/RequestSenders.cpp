#include "protocol/UpsLink.h"

// Placeholder so the tree links while this file's owner writes it.
void CUpsLink::WriteFrame(const Frame&) {}
int CUpsLink::SendAuthorization() {
  return 0;
}
int CUpsLink::SendRawRequest(const std::uint8_t*, std::uint8_t) {
  return 0;
}
void CUpsLink::SendOneByteRequest(bool, std::uint8_t) {}
void CUpsLink::SendThreeByteRequest(bool, std::uint8_t, std::uint8_t, std::uint8_t) {}
bool CUpsLink::StartFlash(std::uint8_t, std::uint32_t, int) {
  return false;
}
bool CUpsLink::EndFlash(std::uint8_t) {
  return false;
}
bool CUpsLink::FlashEcho(const Frame&, std::uint8_t) {
  return false;
}
