#include "flash/BlockTransfer.h"

#include <algorithm>

namespace {

constexpr int kMaxRetries = 3;

enum class BlockOutcome { Next, Again, Failed };

std::uint32_t BlockLength(std::uint32_t remaining, std::uint32_t maxBlock) {
  return std::min({remaining, static_cast<std::uint32_t>(kMaxTransferBlockBytes), maxBlock});
}

// One more try of the same block while the count allows, else the box.
BlockOutcome Retry(ICommandHost& user, int& retries, StringId exhaustedBox) {
  if (retries > kMaxRetries) {
    user.MessageBox(Text(exhaustedBox));
    return BlockOutcome::Failed;
  }
  ++retries;
  return BlockOutcome::Again;
}

BlockOutcome Failed(ICommandHost& user, const std::string& box) {
  user.MessageBox(box);
  return BlockOutcome::Failed;
}

BlockOutcome TakeReply(const CUpsLink& link, ICommandHost& user, const BlockRules& rules,
                       std::uint32_t address, std::uint32_t offset, std::uint32_t block, int& retries) {
  const DecodedReply reply = link.DecodeReply();
  if (!reply.Ok()) {
    return Failed(user,
                  Format(kStrDecodingError, {static_cast<int>(reply.error), link.ErrorName(reply.error)}));
  }
  if (reply.block != kFlashReplyBlock)
    return Failed(user, Format(kStrWrongBlock, {static_cast<int>(reply.block)}));
  const std::uint8_t status = reply.count > 0 ? reply.data[0] : rules.operation;
  if (status == rules.operation) {
    return !rules.echoPasses || rules.echoPasses(reply, offset, block) ? BlockOutcome::Next
                                                                       : BlockOutcome::Failed;
  }
  // The UPS stopped before the rest was sent or compared: that proves
  // nothing about those bytes, so the transfer must not pass.
  if (status == kFlashTerminatedStatus) return Failed(user, Text(rules.terminatedBox));
  if (status == kFlashNackStatus) {
    // A NACK fails once nackRetries were taken: programming fails one try
    // sooner than on time-outs or repeats, a read-back at the first.
    if (retries >= rules.nackRetries) return Failed(user, Text(rules.nackFailedBox));
    user.MessageBox(Text(kStrFlashNack));
    ++retries;
    return BlockOutcome::Again;
  }
  if (status == kFlashRepeatStatus) return Retry(user, retries, kStrRetryCountExceeded);
  if (rules.unknownStatusBox) return Failed(user, Format(*rules.unknownStatusBox, {address, int{status}}));
  return BlockOutcome::Next;
}

bool SendBlocks(CUpsLink& link, ILinkHost& line, ICommandHost& user, const TransferImage& image,
                const BlockRules& rules) {
  user.ScrollToEnd();
  const FlashSpace& space = line.Space(image.spaceIndex);
  // An empty block would never advance the transfer.
  if (image.length > 0 && space.spaceMaxBlock == 0) {
    user.MessageBox(Text(kStrMaxBlockZero));
    return false;
  }
  std::uint32_t offset = 0;
  int retries = 0;
  while (offset < image.length) {
    const std::uint32_t block = BlockLength(image.length - offset, space.spaceMaxBlock);
    const std::uint32_t address = image.loadAddress + offset;
    const BlockPayload payload = rules.payload(offset, block);
    // A read request's count may be more than a space of tiny blocks takes.
    if (!link.TransferRequestAllowed(payload.bytes, payload.count, image.spaceIndex)) {
      user.MessageBox(Format(kStrBlockRequestRefused, {address, payload.count, space.spaceMaxBlock}));
      return false;
    }
    const Frame frame =
        link.BuildTransferRequest(kFlashCommand, rules.operation, image.module, space.spaceDescriptor,
                                  address, payload.bytes, payload.count, image.spaceIndex);
    if (frame.empty()) {
      user.MessageBox(Text(kStrOutOfMemory));
      return false;
    }
    user.ReplaceLastLine(Format(rules.addressLine, {address}));
    user.TransferProgress(rules.verifying, offset, image.length);
    user.SetWaitCursor(true);
    link.SendRequest(frame);
    BlockOutcome outcome = BlockOutcome::Next;
    if (!Answered(line, rules.allowancePolls(line.RouteLength()))) {
      outcome = Retry(user, retries, kStrTimedOutOnRetries);
    } else {
      outcome = TakeReply(link, user, rules, address, offset, block, retries);
    }
    if (outcome == BlockOutcome::Failed) return false;
    if (outcome == BlockOutcome::Next) {
      offset += block;
      retries = 0;
    }
  }
  user.TransferProgress(rules.verifying, image.length, image.length);
  return true;
}

}  // namespace

bool RunBlockTransfer(CUpsLink& link, ILinkHost& line, ICommandHost& user, const TransferImage& image,
                      const BlockRules& rules) {
  // The hourglass stays while a transfer runs, whichever way it ends.
  user.SetWaitCursor(true);
  const bool sent = SendBlocks(link, line, user, image, rules);
  user.SetWaitCursor(false);
  return sent;
}
