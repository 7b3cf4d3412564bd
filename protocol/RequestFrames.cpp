#include <initializer_list>

#include "protocol/AccessCodes.h"
#include "protocol/UpsLink.h"

namespace {

constexpr std::uint8_t kStartByte = 0xAB;
constexpr std::uint8_t kFlashCommand = 0xC9;
constexpr std::uint8_t kStartFlashLetter = 0x53;
constexpr std::uint8_t kAuthorizationCommand = 0xCF;
constexpr std::uint8_t kRawCommand = 0xFF;
// The UPS reads a zero descriptor in a block request as "no space"; 0x33 is
// what it expects instead.
constexpr std::uint8_t kZeroDescriptorStandIn = 0x33;

void AppendLe32(Frame& frame, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) frame.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Fills in the length byte and appends the checksum that makes the frame sum to 0.
Frame Finish(Frame frame) {
  frame[1] = static_cast<std::uint8_t>(frame.size() - 2);
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame) sum += b;
  frame.push_back(static_cast<std::uint8_t>(0x100 - sum));
  return frame;
}

Frame Request(std::uint8_t command, std::initializer_list<std::uint8_t> params) {
  Frame frame{kStartByte, 0, command};
  frame.insert(frame.end(), params);
  return Finish(std::move(frame));
}

}  // namespace

Frame CUpsLink::BuildOneByteRequest(std::uint8_t command) {
  return Request(command, {});
}

Frame CUpsLink::BuildTwoByteRequest(std::uint8_t command, std::uint8_t p1) {
  return Request(command, {p1});
}

Frame CUpsLink::BuildThreeByteRequest(std::uint8_t command, std::uint8_t p1, std::uint8_t p2) {
  return Request(command, {p1, p2});
}

Frame CUpsLink::BuildFourByteRequest(std::uint8_t command, std::uint8_t p1, std::uint8_t p2,
                                     std::uint8_t p3) {
  return Request(command, {p1, p2, p3});
}

Frame CUpsLink::BuildFiveByteRequest(std::uint8_t command, std::uint8_t p1, std::uint8_t p2,
                                     std::uint16_t w) {
  return Request(command, {p1, p2, static_cast<std::uint8_t>(w & 0xFF), static_cast<std::uint8_t>(w >> 8)});
}

Frame CUpsLink::BuildTransferRequest(std::uint8_t command, std::uint8_t operation, std::uint8_t module,
                                     std::uint8_t descriptor, std::uint32_t address, const std::uint8_t* data,
                                     std::uint32_t n, int spaceIndex) const {
  if (n > kMaxTransferBlock || (n > 0 && data == nullptr)) return {};
  if (host_ == nullptr || spaceIndex < 0 || spaceIndex >= CConnectionState::kFlashSpaceEntries) return {};
  if (n > host_->Space(spaceIndex).spaceMaxBlock) return {};
  if (descriptor == 0) descriptor = kZeroDescriptorStandIn;
  Frame frame{kStartByte, 0, command, operation, module, descriptor};
  AppendLe32(frame, address);
  frame.insert(frame.end(), data, data + n);
  return Finish(std::move(frame));
}

Frame CUpsLink::BuildStartFlashRequest(std::uint8_t module, std::uint8_t descriptor,
                                       std::uint32_t loadAddress, std::uint32_t spaceSize) {
  Frame frame{kStartByte, 0, kFlashCommand, kStartFlashLetter, module, descriptor};
  AppendLe32(frame, loadAddress);
  AppendLe32(frame, spaceSize);
  return Finish(std::move(frame));
}

Frame CUpsLink::BuildAuthorization() {
  const std::uint8_t* code = kAuthorizationAccessCode;
  return Request(kAuthorizationCommand, {code[0], code[1], code[2]});
}

Frame CUpsLink::BuildRawRequest(const std::uint8_t* bytes, std::uint8_t n) {
  if (n > 0 && bytes == nullptr) return {};
  Frame frame{kStartByte, 0, kRawCommand};
  frame.insert(frame.end(), bytes, bytes + n);
  return Finish(std::move(frame));
}
