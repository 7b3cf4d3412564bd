#include "protocol/UpsLink.h"

// Placeholder so the tree links while this file's owner writes it.
Frame CUpsLink::BuildOneByteRequest(std::uint8_t) {
  return {};
}
Frame CUpsLink::BuildTwoByteRequest(std::uint8_t, std::uint8_t) {
  return {};
}
Frame CUpsLink::BuildThreeByteRequest(std::uint8_t, std::uint8_t, std::uint8_t) {
  return {};
}
Frame CUpsLink::BuildFourByteRequest(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) {
  return {};
}
Frame CUpsLink::BuildFiveByteRequest(std::uint8_t, std::uint8_t, std::uint8_t, std::uint16_t) {
  return {};
}
Frame CUpsLink::BuildTransferRequest(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t, std::uint32_t,
                                     const std::uint8_t*, std::uint32_t, int) const {
  return {};
}
Frame CUpsLink::BuildStartFlashRequest(std::uint8_t, std::uint8_t, std::uint32_t, std::uint32_t) {
  return {};
}
Frame CUpsLink::BuildAuthorization() {
  return {};
}
Frame CUpsLink::BuildRawRequest(const std::uint8_t*, std::uint8_t) {
  return {};
}
