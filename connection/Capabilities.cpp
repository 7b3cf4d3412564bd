#include "app/MainFrame.h"
#include "resources/Strings.h"

namespace {

constexpr std::uint8_t kCapabilitiesCommand = 0xC9;
constexpr std::uint8_t kCapabilitiesSubcommand = 0x43;
constexpr std::uint8_t kCapabilitiesBlock = 0xC9;
constexpr std::uint8_t kAcknowledgeBlock = 9;
constexpr std::uint16_t kReplyCapacity = 300;
constexpr int kDescriptorBytes = 13;
constexpr int kSpaceCode = 3;
constexpr int kSpaceBootLoader = 6;
constexpr int kAccessReadWrite = 3;
// Type 430 takes 11 bytes less than it reports in a block above 64 bytes.
constexpr std::uint16_t kReducedBlockType = 430;
constexpr std::uint32_t kReducedBlockAbove = 64;
constexpr std::uint32_t kReducedBlockBy = 11;

StringId SpaceName(int type) {
  static constexpr StringId kNames[] = {kStrSpaceNone,      kStrSpaceExtRam,        kStrSpaceIntRam,
                                        kStrSpaceCode,      kStrSpaceConfiguration, kStrSpaceSecondary,
                                        kStrSpaceBootLoader};
  return type >= 1 && type <= 6 ? kNames[type] : kStrSpaceNone;
}

StringId AccessName(int access) {
  static constexpr StringId kNames[] = {kStrAccessNone, kStrAccessReadOnly, kStrAccessWriteOnly,
                                        kStrAccessReadWrite};
  return access >= 0 && access <= 3 ? kNames[access] : kStrAccessUnknown;
}

StringId CpuName(int cpu) {
  static constexpr StringId kNames[] = {kStrCpuUnknown,   kStrCpuCommunications,
                                        kStrCpuInverter,  kStrCpuRectifier,
                                        kStrCpuNetwork,   kStrCpuControlPanel,
                                        kStrCpuPldChain,  kStrCpuBootloader,
                                        kStrCpuCanBridge, kStrCpu9,
                                        kStrCpu10,        kStrCpu11};
  return cpu >= 1 && cpu <= 11 ? kNames[cpu] : kStrCpuUnknown;
}

StringId AckMeaning(char code) {
  static constexpr StringId kMeanings[] = {kStrAckAccepted,     kStrAckNotImplemented, kStrAckBusy,
                                           kStrAckUnrecognized, kStrAckOutOfRange,     kStrAckInvalid,
                                           kStrAckAdjusted};
  return code >= '1' && code <= '7' ? kMeanings[code - '1'] : kStrAckUnknown;
}

std::uint32_t Word32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

void CMainFrame::DecodeAcknowledge(const std::uint8_t* data, std::uint16_t count) {
  const char code = count > 0 ? static_cast<char>(data[0]) : '\0';
  AppendText(Format(kStrAckLine, {code, Text(AckMeaning(code))}));
}

// Logs every space of one capabilities block and records the flashable ones.
void CMainFrame::RecordSpaces(std::string& text, const std::uint8_t* data, std::uint16_t count) {
  const std::uint8_t cpu = data[1];
  text += Format(kStrRespondingCpu, {int{cpu}, Text(CpuName(cpu))});
  ShowText(text);
  for (int offset = 2; offset < count - 1; offset += kDescriptorBytes) {
    const std::uint8_t descriptor = data[offset];
    const int type = descriptor & 0x0F;
    const int access = descriptor >> 4;
    std::uint32_t maxBlock = Word32(data + offset + 1);
    const std::uint32_t start = Word32(data + offset + 5);
    const std::uint32_t size = Word32(data + offset + 9);
    if (conn_.upsTypeCode == kReducedBlockType && maxBlock > kReducedBlockAbove) maxBlock -= kReducedBlockBy;
    const bool flashable = type == kSpaceCode || type == kSpaceBootLoader;
    text += Format(kStrSpaceAccess, {Text(SpaceName(type)), Text(AccessName(access)), start, size});
    text += Format(flashable ? kStrFlashSectorSize : kStrSpaceBlockSize, {maxBlock});
    ShowText(text);
    if (flashable && conn_.spaceCount < CConnectionState::kFlashSpaceEntries) {
      FlashSpace& space = conn_.spaces[static_cast<std::size_t>(conn_.spaceCount++)];
      space = FlashSpace{descriptor, access == kAccessReadWrite ? 1 : 0, maxBlock, start, size, cpu};
    }
  }
}

int CMainFrame::FlashCapabilitiesStep() {
  int result = 0;
  std::string text = TranscriptText();
  // The progress line stays until this step shows its copy again.
  ShowText(text + Text(kStrCapsAttempt));
  for (int cpu = 1; cpu <= CConnectionState::kControllerSlots; ++cpu) {
    if (conn_.firmwareVersions[static_cast<std::size_t>(cpu - 1)] == 0) continue;
    SetReceiveMode(kModeFrame, true);
    Link().SendThreeByteRequest(false, kCapabilitiesCommand, kCapabilitiesSubcommand,
                                static_cast<std::uint8_t>(cpu));
    if (!WaitReply(kModeFrame, AllowanceByRoute(conn_.routeLength))) {
      SetReceiveMode(kModeIdle, false);
      text += Format(kStrCapsTimeout, {cpu});
      ShowText(text);
      continue;
    }
    text += Text(kStrCapsReceived);
    ShowText(text);
    // A descriptor may start in the last bytes of a full reply; the bytes it
    // lacks read as 0.
    std::uint8_t data[kReplyCapacity + kDescriptorBytes] = {};
    std::uint16_t count = 0;
    std::uint8_t error = 0, block = 0;
    if (!Link().DecodeFrames(rx_.ReceiveBuffer(), rx_.ReceiveLength(), data, kReplyCapacity, count, error,
                             block)) {
      ShowText(text + Format(kStrCapsDecodeError, {int{error}}));
      return 0;
    }
    if (block == kAcknowledgeBlock) {
      SetStatusColour(StatusColour::Failure);
      text += Text(kStrCapsAckInstead);
      ShowText(text);
      DecodeAcknowledge(data, count);
      result = 0;
    } else if (block != kCapabilitiesBlock) {
      SetStatusColour(StatusColour::Failure);
      text += Format(kStrCapsWrongBlock, {int{block}});
      ShowText(text);
      result = 0;
    } else {
      RecordSpaces(text, data, count);
      result = 1;
    }
  }
  return result;
}
