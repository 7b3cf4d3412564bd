#include <new>

#include "protocol/UpsLink.h"

namespace {

constexpr std::size_t kLongestFrame = kMaxTransferBlockBytes + 11;

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

}  // namespace

Frame CUpsLink::BuildRequest(std::uint8_t command, std::initializer_list<std::uint8_t> params) {
  return Build(command, [params](Frame& frame) { frame.insert(frame.end(), params); });
}

Frame CUpsLink::BuildFiveByteRequest(std::uint8_t command, std::uint8_t p1, std::uint8_t p2,
                                     std::uint16_t w) {
  return BuildRequest(command,
                      {p1, p2, static_cast<std::uint8_t>(w & 0xFF), static_cast<std::uint8_t>(w >> 8)});
}

bool CUpsLink::TransferRequestAllowed(const std::uint8_t* data, std::uint32_t n, int spaceIndex) const {
  if (n > kMaxTransferBlockBytes || (n > 0 && data == nullptr)) return false;
  if (host_ == nullptr || spaceIndex < 0 || spaceIndex >= kFlashSpaceEntries) return false;
  return n <= host_->Space(spaceIndex).spaceMaxBlock;
}

Frame CUpsLink::BuildTransferRequest(std::uint8_t command, std::uint8_t operation, std::uint8_t module,
                                     std::uint8_t descriptor, std::uint32_t address, const std::uint8_t* data,
                                     std::uint32_t n, int spaceIndex) const {
  if (!TransferRequestAllowed(data, n, spaceIndex)) return {};
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
    frame.insert(frame.end(), {kStartFlashOperation, module, descriptor});
    AppendLe32(frame, loadAddress);
    AppendLe32(frame, spaceSize);
  });
}

Frame CUpsLink::BuildAuthorization() {
  const std::uint8_t* code = kAuthorizationAccessCode;
  return BuildRequest(kAuthorizationCommand, {code[0], code[1], code[2]});
}

Frame CUpsLink::BuildRawRequest(const std::uint8_t* bytes, std::uint8_t n) {
  // Start, length, command and checksum around the bytes: no longer than any frame.
  if ((n > 0 && bytes == nullptr) || n + 4u > kLongestFrame) return {};
  return Build(kRawCommand, [&](Frame& frame) { frame.insert(frame.end(), bytes, bytes + n); });
}
