#include <initializer_list>
#include <new>

#include "protocol/AccessCodes.h"
#include "protocol/UpsLink.h"

namespace {

constexpr std::uint8_t kStartByte = 0xAB;
constexpr std::uint8_t kFlashCommand = 0xC9;
constexpr std::uint8_t kStartFlashLetter = 0x53;
constexpr std::uint8_t kAuthorizationCommand = 0xCF;
constexpr std::uint8_t kRawCommand = 0xFF;
constexpr std::size_t kLongestFrame = CUpsLink::kMaxTransferBlock + 11;
// A block request never carries a zero descriptor; the UPS expects 0x33 there.
constexpr std::uint8_t kZeroDescriptorStandIn = 0x33;

void AppendLe32(Frame& frame, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) frame.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Start byte and command, then what fill adds, then the length byte and the
// checksum that makes the frame sum to 0. A frame that cannot be had comes
// back empty, which every caller treats as "no frame".
template <typename Fill>
Frame Build(std::uint8_t command, Fill fill) {
  try {
    Frame frame;
    frame.reserve(kLongestFrame);
    frame.assign({kStartByte, 0, command});
    fill(frame);
    frame[1] = static_cast<std::uint8_t>(frame.size() - 2);
    std::uint8_t sum = 0;
    for (std::uint8_t b : frame) sum += b;
    frame.push_back(static_cast<std::uint8_t>(0x100 - sum));
    return frame;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

Frame Request(std::uint8_t command, std::initializer_list<std::uint8_t> params) {
  return Build(command, [params](Frame& frame) { frame.insert(frame.end(), params); });
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
  return Build(command, [&](Frame& frame) {
    frame.insert(frame.end(), {operation, module, descriptor});
    AppendLe32(frame, address);
    frame.insert(frame.end(), data, data + n);
  });
}

Frame CUpsLink::BuildStartFlashRequest(std::uint8_t module, std::uint8_t descriptor,
                                       std::uint32_t loadAddress, std::uint32_t spaceSize) {
  return Build(kFlashCommand, [&](Frame& frame) {
    frame.insert(frame.end(), {kStartFlashLetter, module, descriptor});
    AppendLe32(frame, loadAddress);
    AppendLe32(frame, spaceSize);
  });
}

Frame CUpsLink::BuildAuthorization() {
  const std::uint8_t* code = kAuthorizationAccessCode;
  return Request(kAuthorizationCommand, {code[0], code[1], code[2]});
}

Frame CUpsLink::BuildRawRequest(const std::uint8_t* bytes, std::uint8_t n) {
  // Start, length, command and checksum around the bytes: no longer than any frame.
  if ((n > 0 && bytes == nullptr) || n + 4u > kLongestFrame) return {};
  return Build(kRawCommand, [&](Frame& frame) { frame.insert(frame.end(), bytes, bytes + n); });
}
