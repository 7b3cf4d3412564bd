#include "flash/TransferSteps.h"
#include "resources/Strings.h"

namespace {

constexpr std::uint8_t kProgramOperation = 0x57;

int ProgramAllowance(int routeLength) {
  if (routeLength <= 1) return 200;
  if (routeLength == 2) return 800;
  return 1000;
}

}  // namespace

bool CUpsLink::ProgramImage(const std::uint8_t* image, std::uint32_t length, std::uint8_t module,
                            std::uint32_t loadAddress, int spaceIndex) {
  using namespace transfer;
  ILinkHost& host = *host_;
  CWaitCursor cursor(host);
  host.ScrollToEnd();
  const FlashSpace& space = host.Space(spaceIndex);
  // An empty block would never advance the transfer.
  if (length > 0 && space.spaceMaxBlock == 0) {
    host.MessageBox(Text(kStrMaxBlockZero));
    return false;
  }
  CReceiveState& rx = host.Receive();
  std::uint32_t offset = 0;
  int retries = 0;
  while (offset < length) {
    const std::uint32_t block = BlockLength(length - offset, space.spaceMaxBlock);
    const std::uint32_t address = loadAddress + offset;
    const Frame frame = BuildTransferRequest(kCommand, kProgramOperation, module, space.spaceDescriptor,
                                             address, image + offset, block, spaceIndex);
    if (frame.empty()) {
      host.MessageBox(Text(kStrOutOfMemory));
      return false;
    }
    host.ReplaceLastLine(Format(kStrProgrammingAddress, {address}));
    host.TransferProgress(false, offset, length);
    host.SetWaitCursor(true);
    rx.SetReceiveMode(kModeFrame, true);
    WriteFrame(frame);
    if (!host.WaitReply(kModeFrame, ProgramAllowance(host.RouteLength()))) {
      rx.SetReceiveMode(kModeIdle, false);
      if (retries > kMaxRetries) {
        host.MessageBox(Text(kStrTimedOutOnRetries));
        return false;
      }
      ++retries;
      continue;
    }
    Reply reply;
    if (!DecodeFrames(rx.ReceiveBuffer(), rx.ReceiveLength(), reply.data, kReplyCapacity, reply.count,
                      reply.error, reply.block)) {
      host.MessageBox(Format(kStrDecodingError, {static_cast<int>(reply.error), ErrorName(reply.error)}));
      return false;
    }
    if (reply.block != kReplyBlock) {
      host.MessageBox(Format(kStrWrongBlock, {static_cast<int>(reply.block)}));
      return false;
    }
    const std::uint8_t status = reply.count > 0 ? reply.data[0] : kProgramOperation;
    if (status == kTerminated) {
      // The rest of the image was never written: programming must not pass.
      host.MessageBox(Text(kStrUpsTerminatedFlash));
      return false;
    }
    if (status == kNack) {
      if (retries >= kMaxRetries) {
        host.MessageBox(Text(kStrMaxNackRetries));
        return false;
      }
      host.MessageBox(Text(kStrFlashNack));
      ++retries;
      continue;
    }
    if (status == kRepeat) {
      if (retries > kMaxRetries) {
        host.MessageBox(Text(kStrRetryCountExceeded));
        return false;
      }
      ++retries;
      continue;
    }
    offset += block;
    retries = 0;
  }
  host.TransferProgress(false, length, length);
  return true;
}
