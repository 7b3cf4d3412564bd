#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "flash/RomData.h"
#include "flash/TransferSteps.h"
#include "resources/Strings.h"

namespace {

constexpr std::uint8_t kReadOperation = 0x52;
constexpr int kVerifyAllowance = 2000;
constexpr std::uint16_t kReadDataOffset = 11;

void AppendLe32(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

void CMainFrame::OnVerifyProgram() {
  SetStatusColour(VerifyProgram() ? StatusColour::Ok : StatusColour::Failure);
}

bool CMainFrame::VerifyProgram() {
  view_.EnableToolbarButton(kCmdProgram, false);
  view_.EnableToolbarButton(kCmdClose, false);
  view_.EnableToolbarButton(kCmdSelectSubmodule, false);
  if (conn_.connected == 0 || Space(rom_.selectedSpace).spaceReadWrite == 0 || !rom_.romFile) {
    std::string text = TranscriptText() + Text(kStrVerifyAborted);
    SetStatusColour(StatusColour::Failure);
    ShowText(text);
    ScrollToEnd();
    lastVerifyPassed_ = false;
    return false;
  }
  TrimLog();
  std::string copy = TranscriptText() + Text(kStrVerificationStarted);
  ShowText(copy);
  ScrollToEnd();
  std::vector<std::uint8_t> data;
  int got = 0;
  const RomDataRead read = ReadRomData(rom_, data, got);
  bool passed = false;
  if (read == RomDataRead::OutOfMemory) {
    MessageBox(Text(kStrInputTooLarge));
  } else {
    if (read == RomDataRead::ShortRead) {
      MessageBox(ShortReadMessage(rom_, got));
    } else {
      passed = Link().VerifyImage(data.data(), static_cast<std::uint32_t>(data.size()), rom_.moduleCode,
                                  rom_.loadAddress, rom_.selectedSpace);
    }
    copy += Text(passed ? kStrVerificationCompleted : kStrVerificationFailed);
    if (!passed) SetStatusColour(StatusColour::Failure);
    ShowText(copy);
  }
  ScrollToEnd();
  lastVerifyPassed_ = passed;
  return passed;
}

bool CUpsLink::VerifyImage(const std::uint8_t* image, std::uint32_t length, std::uint8_t module,
                           std::uint32_t loadAddress, int spaceIndex) {
  using namespace transfer;
  ILinkHost& host = *host_;
  CWaitCursor cursor(host);
  host.ScrollToEnd();
  const FlashSpace& space = host.Space(spaceIndex);
  // An empty block would never advance the read-back.
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
    std::uint8_t count[4];
    AppendLe32(count, block);
    const Frame frame = BuildTransferRequest(kCommand, kReadOperation, module, space.spaceDescriptor, address,
                                             count, 4, spaceIndex);
    if (frame.empty()) {
      host.MessageBox(Text(kStrOutOfMemory));
      return false;
    }
    host.ReplaceLastLine(Format(kStrVerifyingAddress, {address}));
    host.TransferProgress(true, offset, length);
    host.SetWaitCursor(true);
    rx.SetReceiveMode(kModeFrame, true);
    WriteFrame(frame);
    if (!host.WaitReply(kModeFrame, kVerifyAllowance)) {
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
    // An empty reply counts as a short read-back.
    const std::uint8_t status = reply.count > 0 ? reply.data[0] : kReadOperation;
    if (status == kReadOperation) {
      // A reply without all the bytes asked for proves nothing about them.
      if (static_cast<std::uint32_t>(reply.count) < kReadDataOffset + block) {
        const int have = reply.count > kReadDataOffset ? reply.count - kReadDataOffset : 0;
        host.MessageBox(Format(kStrVerifyShortReply, {address, have, static_cast<int>(block)}));
        return false;
      }
      for (std::uint32_t k = 0; k < block; ++k) {
        const std::uint8_t was = reply.data[kReadDataOffset + k];
        if (image[offset + k] != was) {
          host.MessageBox(Format(kStrVerifyFailedAt, {address + k, image[offset + k], was}));
          return false;
        }
      }
    } else if (status == kTerminated) {
      // The UPS stopped before the rest was compared: that proves nothing
      // about those bytes, so it must not pass as a verified image.
      host.MessageBox(Text(kStrUpsTerminatedVerify));
      return false;
    } else if (status == kNack) {
      host.MessageBox(Text(kStrVerifyNack));
      return false;
    } else if (status == kRepeat) {
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
  host.TransferProgress(true, length, length);
  return true;
}
