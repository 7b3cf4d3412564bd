#include "connection/ConnectCommand.h"
#include "resources/Strings.h"

namespace {

// Type 430 takes 11 bytes less than it reports in a block above 64 bytes.
constexpr std::uint16_t kReducedBlockType = 430;
constexpr std::uint32_t kReducedBlockAbove = 64;
constexpr std::uint32_t kReducedBlockBy = 11;

constexpr StringId kSpaceNames[] = {kStrSpaceNone,      kStrSpaceExtRam,        kStrSpaceIntRam,
                                    kStrSpaceCode,      kStrSpaceConfiguration, kStrSpaceSecondary,
                                    kStrSpaceBootLoader};
constexpr StringId kAccessNames[] = {kStrAccessNone, kStrAccessReadOnly, kStrAccessWriteOnly,
                                     kStrAccessReadWrite};
constexpr StringId kCpuNames[] = {kStrCpuUnknown,   kStrCpuCommunications,
                                  kStrCpuInverter,  kStrCpuRectifier,
                                  kStrCpuNetwork,   kStrCpuControlPanel,
                                  kStrCpuPldChain,  kStrCpuBootloader,
                                  kStrCpuCanBridge, kStrCpu9,
                                  kStrCpu10,        kStrCpu11};
// Acknowledgement codes '1' to '7'.
constexpr StringId kAckMeanings[] = {kStrAckAccepted,     kStrAckNotImplemented, kStrAckBusy,
                                     kStrAckUnrecognized, kStrAckOutOfRange,     kStrAckInvalid,
                                     kStrAckAdjusted};

// The text of entry `index`, or of `other` outside the table.
template <std::size_t N>
const char* Named(const StringId (&names)[N], int index, StringId other) {
  return Text(index >= 0 && index < static_cast<int>(N) ? names[index] : other);
}

std::uint32_t Word32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

void CConnectCommand::DecodeAcknowledge(const DecodedReply& reply) {
  const char code = reply.count > 0 ? static_cast<char>(reply.data[0]) : '\0';
  host.AppendText(Format(kStrAckLine, {code, Named(kAckMeanings, code - '1', kStrAckUnknown)}), true);
}

// Logs every space of one capabilities block and records the flashable ones.
void CConnectCommand::RecordSpaces(std::string& text, const DecodedReply& reply) {
  const std::uint8_t* data = reply.data.data();
  const std::uint8_t cpu = data[1];
  text += Format(kStrRespondingCpu, {int{cpu}, Named(kCpuNames, cpu, kStrCpuUnknown)});
  host.ShowText(text);
  for (int offset = 2; offset < reply.count - 1; offset += kSpaceRecordBytes) {
    const std::uint8_t descriptor = data[offset];
    const int type = descriptor & kSpaceTypeMask;
    const int access = descriptor >> 4;
    std::uint32_t maxBlock = Word32(data + offset + 1);
    const std::uint32_t start = Word32(data + offset + 5);
    const std::uint32_t size = Word32(data + offset + 9);
    if (conn.upsTypeCode == kReducedBlockType && maxBlock > kReducedBlockAbove) maxBlock -= kReducedBlockBy;
    const bool flashable = IsFlashableSpaceType(type);
    text += Format(kStrSpaceAccess, {Named(kSpaceNames, type, kStrSpaceNone),
                                     Named(kAccessNames, access, kStrAccessUnknown), start, size});
    text += Format(flashable ? kStrFlashSectorSize : kStrSpaceBlockSize, {maxBlock});
    host.ShowText(text);
    if (flashable && conn.spaceCount < kFlashSpaceEntries) {
      FlashSpace& space = conn.spaces[static_cast<std::size_t>(conn.spaceCount++)];
      space = FlashSpace{descriptor, access == kAccessReadWrite ? 1 : 0, maxBlock, start, size, cpu};
    }
  }
}

int CConnectCommand::FlashCapabilitiesStep() {
  int result = 0;
  std::string text = host.TranscriptText();
  // The progress line stays until this step shows its copy again.
  host.ShowText(text + Text(kStrCapsAttempt));
  for (int cpu = 1; cpu <= CConnectionState::kControllerSlots; ++cpu) {
    if (conn.firmwareVersions[static_cast<std::size_t>(cpu - 1)] == 0) continue;
    link.SendRequest(
        CUpsLink::BuildRequest(kFlashCommand, {kCapabilitiesOperation, static_cast<std::uint8_t>(cpu)}));
    if (!Answered(linkHost)) {
      text += Format(kStrCapsTimeout, {cpu});
      host.ShowText(text);
      continue;
    }
    text += Text(kStrCapsReceived);
    host.ShowText(text);
    const DecodedReply reply = link.DecodeReply();
    if (!reply.Ok()) {
      host.ShowText(text + Format(kStrCapsDecodeError, {int{reply.error}}));
      return 0;
    }
    if (reply.block == kFlashReplyBlock) {
      RecordSpaces(text, reply);
      result = 1;
      continue;
    }
    const bool acknowledged = reply.block == kAcknowledgeBlock;
    host.SetStatusColour(StatusColour::Failure);
    text += acknowledged ? Text(kStrCapsAckInstead) : Format(kStrCapsWrongBlock, {int{reply.block}});
    host.ShowText(text);
    if (acknowledged) DecodeAcknowledge(reply);
    result = 0;
  }
  return result;
}
