#include "flash/BlockTransfer.h"

#include <algorithm>

namespace {

constexpr int kMaxRetries = 3;

enum class BlockOutcome { Next, Again, Failed };

std::uint32_t BlockLength(std::uint32_t remaining, std::uint32_t maxBlock) {
  return std::min({remaining, static_cast<std::uint32_t>(kMaxTransferBlockBytes), maxBlock});
}

// One more try of the same block while the count allows, else the box.
BlockOutcome Retry(ILinkHost& host, int& retries, StringId exhaustedBox) {
  if (retries > kMaxRetries) {
    host.MessageBox(Text(exhaustedBox));
    return BlockOutcome::Failed;
  }
  ++retries;
  return BlockOutcome::Again;
}

BlockOutcome Failed(ILinkHost& host, const std::string& box) {
  host.MessageBox(box);
  return BlockOutcome::Failed;
}

BlockOutcome TakeReply(const CUpsLink& link, ILinkHost& host, const BlockRules& rules, std::uint32_t address,
                       std::uint32_t offset, std::uint32_t block, int& retries) {
  const DecodedReply reply = link.DecodeReply();
  if (!reply.Ok()) {
    return Failed(host,
                  Format(kStrDecodingError, {static_cast<int>(reply.error), link.ErrorName(reply.error)}));
  }
  if (reply.block != kFlashReplyBlock)
    return Failed(host, Format(kStrWrongBlock, {static_cast<int>(reply.block)}));
  const std::uint8_t status = reply.count > 0 ? reply.data[0] : rules.operation;
  if (status == rules.operation) {
    return !rules.echoPasses || rules.echoPasses(reply, offset, block) ? BlockOutcome::Next
                                                                       : BlockOutcome::Failed;
  }
  // The UPS stopped before the rest was sent or compared: that proves
  // nothing about those bytes, so the transfer must not pass.
  if (status == kFlashTerminatedStatus) return Failed(host, Text(rules.terminatedBox));
  if (status == kFlashNackStatus) {
    // A NACK fails once nackRetries were taken: programming fails one try
    // sooner than on time-outs or repeats, a read-back at the first.
    if (retries >= rules.nackRetries) return Failed(host, Text(rules.nackFailedBox));
    host.MessageBox(Text(kStrFlashNack));
    ++retries;
    return BlockOutcome::Again;
  }
  if (status == kFlashRepeatStatus) return Retry(host, retries, kStrRetryCountExceeded);
  if (rules.unknownStatusBox) return Failed(host, Format(*rules.unknownStatusBox, {address, int{status}}));
  return BlockOutcome::Next;
}

bool SendBlocks(CUpsLink& link, ILinkHost& host, const TransferImage& image, const BlockRules& rules) {
  host.ScrollToEnd();
  const FlashSpace& space = host.Space(image.spaceIndex);
  // An empty block would never advance the transfer.
  if (image.length > 0 && space.spaceMaxBlock == 0) {
    host.MessageBox(Text(kStrMaxBlockZero));
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
      host.MessageBox(Format(kStrBlockRequestRefused, {address, payload.count, space.spaceMaxBlock}));
      return false;
    }
    const Frame frame =
        link.BuildTransferRequest(kFlashCommand, rules.operation, image.module, space.spaceDescriptor,
                                  address, payload.bytes, payload.count, image.spaceIndex);
    if (frame.empty()) {
      host.MessageBox(Text(kStrOutOfMemory));
      return false;
    }
    host.ReplaceLastLine(Format(rules.addressLine, {address}));
    host.TransferProgress(rules.verifying, offset, image.length);
    host.SetWaitCursor(true);
    link.SendRequest(frame);
    BlockOutcome outcome = BlockOutcome::Next;
    if (!host.WaitReply(kModeFrame, rules.allowancePolls(host.RouteLength()))) {
      host.Receive().SetReceiveMode(kModeIdle, false);
      outcome = Retry(host, retries, kStrTimedOutOnRetries);
    } else {
      outcome = TakeReply(link, host, rules, address, offset, block, retries);
    }
    if (outcome == BlockOutcome::Failed) return false;
    if (outcome == BlockOutcome::Next) {
      offset += block;
      retries = 0;
    }
  }
  host.TransferProgress(rules.verifying, image.length, image.length);
  return true;
}

}  // namespace

bool RunBlockTransfer(CUpsLink& link, ILinkHost& host, const TransferImage& image, const BlockRules& rules) {
  // The hourglass stays while a transfer runs, whichever way it ends.
  host.SetWaitCursor(true);
  const bool sent = SendBlocks(link, host, image, rules);
  host.SetWaitCursor(false);
  return sent;
}
