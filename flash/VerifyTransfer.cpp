#include <array>

#include "flash/BlockTransfer.h"

namespace {

// The same whatever the route.
int VerifyAllowance(int) {
  return 2000;
}

// A reply that echoed the read: the block's bytes follow the echoed request.
bool ReadBackMatches(ICommandHost& user, const TransferImage& image, const DecodedReply& reply,
                     std::uint32_t offset, std::uint32_t block) {
  const std::uint32_t address = image.loadAddress + offset;
  // A reply without all the bytes asked for proves nothing about them.
  if (static_cast<std::uint32_t>(reply.count) < kReadEchoBytes + block) {
    const int have = reply.count > kReadEchoBytes ? reply.count - kReadEchoBytes : 0;
    user.MessageBox(Format(kStrVerifyShortReply, {address, have, static_cast<int>(block)}));
    return false;
  }
  for (std::uint32_t k = 0; k < block; ++k) {
    const std::uint8_t was = reply.data[kReadEchoBytes + k];
    if (image.bytes[offset + k] != was) {
      user.MessageBox(Format(kStrVerifyFailedAt, {address + k, image.bytes[offset + k], was}));
      return false;
    }
  }
  return true;
}

}  // namespace

bool VerifyImage(CUpsLink& link, ILinkHost& line, ICommandHost& user, const TransferImage& image) {
  // A read request carries the count of bytes to read back.
  std::array<std::uint8_t, 4> count{};
  const BlockRules rules{
      .operation = kReadOperation,
      .verifying = true,
      .addressLine = kStrVerifyingAddress,
      .allowancePolls = VerifyAllowance,
      .nackRetries = 0,
      .nackFailedBox = kStrVerifyNack,
      .terminatedBox = kStrUpsTerminatedVerify,
      .unknownStatusBox = kStrVerifyUnknownStatus,
      .payload =
          [&count](std::uint32_t, std::uint32_t block) {
            for (std::size_t i = 0; i < count.size(); ++i)
              count[i] = static_cast<std::uint8_t>(block >> (8 * i));
            return BlockPayload{count.data(), static_cast<std::uint32_t>(count.size())};
          },
      .echoPasses = [&user, &image](
                        const DecodedReply& reply, std::uint32_t offset,
                        std::uint32_t block) { return ReadBackMatches(user, image, reply, offset, block); },
  };
  return RunBlockTransfer(link, line, user, image, rules);
}
