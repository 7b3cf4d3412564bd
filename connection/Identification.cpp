#include <algorithm>

#include "connection/ConnectCommand.h"
#include "ini/ModelLookup.h"
#include "protocol/ReplyWait.h"
#include "resources/Strings.h"

namespace {

constexpr int kStartupPauseMs = 2000;

constexpr StringId kSlotNames[CConnectionState::kControllerSlots] = {
    kStrSlotCommunications, kStrSlotInverter, kStrSlotRectifier,  kStrSlotNetwork,
    kStrSlotControlPanel,   kStrSlotPldChain, kStrSlotBootloader, kStrSlotCanBridge,
    kStrSlotCpu9,           kStrSlotCpu10,    kStrSlotCpu11};

std::uint16_t Version(const std::uint8_t* data, int slot) {
  return static_cast<std::uint16_t>(data[1 + 2 * slot] | (data[2 + 2 * slot] << 8));
}

std::string FirmwareLine(int slot, const std::uint8_t* data) {
  return Format(kStrFirmwareVersion, {Text(kSlotNames[slot]), data[2 + 2 * slot], data[1 + 2 * slot]});
}

}  // namespace

bool CConnectCommand::StartComm(int polls, std::string& copy) {
  linkHost.Clock().SleepMs(kStartupPauseMs);
  copy = host.TranscriptText();
  host.ShowText(copy + Text(kStrStartupAttempt));
  link.SendRequest(CUpsLink::BuildRequest(kStartCommCommand), true);
  if (Answered(linkHost, polls)) return true;
  host.ShowText(copy + Text(kStrStartupTimeout));
  return false;
}

int CConnectCommand::StartupHandshake() {
  std::string copy;
  // No answer here still lets the block requests try.
  if (!StartComm(AllowanceByRoute(conn.routeLength), copy)) return 1;
  std::string text = copy + Text(kStrStartupReceived);
  host.ShowText(text);
  const DecodedReply reply = link.DecodeReply();
  if (!reply.Ok()) {
    host.ShowText(text + Format(kStrErrDecodingUpsData, {int{reply.error}}));
    return 0;
  }
  host.ShowText(text + Format(kStrReceivedBlock, {int{reply.block}}));
  return 1;
}

// Sends a one-byte block request and waits; the reply on success, otherwise
// the failure line is shown in red and false returned.
bool CConnectCommand::RequestBlock(std::uint8_t command, std::uint8_t expectedBlock, StringId timeoutLine,
                                   StringId receivedLine, DecodedReply& reply) {
  const auto failed = [this](const std::string& text) {
    host.SetStatusColour(StatusColour::Failure);
    host.ShowText(text);
    return false;
  };
  const std::string copy = host.TranscriptText();
  host.ShowText(copy + Text(kStrIdAttempt));
  link.SendRequest(CUpsLink::BuildRequest(command));
  if (!Answered(linkHost)) return failed(copy + Text(timeoutLine));
  const std::string text = copy + Text(receivedLine);
  host.ShowText(text);
  reply = link.DecodeReply();
  if (!reply.Ok()) return failed(text + Format(kStrErrDecodingUpsData, {int{reply.error}}));
  if (reply.block != expectedBlock) return failed(text + Format(kStrIdWrongBlock, {int{reply.block}}));
  return true;
}

void CConnectCommand::StoreIdBlock(const std::uint8_t* data) {
  int n = std::min<int>(data[0], CConnectionState::kControllerSlots);
  conn.firmwareVersions.fill(0);
  conn.firmwareVersions[0] = Version(data, 0);
  conn.firmwareVersions[1] = Version(data, 1);
  // Two controllers of which one reports no version count as the other alone.
  const bool inverterOnly = n == 2 && conn.firmwareVersions[0] == 0 && conn.firmwareVersions[1] != 0;
  if (n == 2 && (conn.firmwareVersions[0] == 0 || conn.firmwareVersions[1] == 0)) n = 1;
  for (int k = 2; k < n; ++k) conn.firmwareVersions[static_cast<std::size_t>(k)] = Version(data, k);
  std::string text = host.TranscriptText() + Format(kStrControllerCount, {n});
  if (n == 1) text += FirmwareLine(inverterOnly ? 1 : 0, data);
  for (int k = 0; n > 1 && k < n; ++k) text += FirmwareLine(k, data);
  host.ShowText(text);
}

int CConnectCommand::StoreConfigurationBlock(const std::uint8_t* data) {
  conn.upsTypeCode = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
  const ModelLookupResult model = LookupModel(conn.upsTypeCode, modelTable);
  const bool notFound = model.firstReadYielded && !model.matched;
  if (model.name == Text(kStrModelRendalManifold) || model.name == Text(kStrModelRendalPower)) {
    options.verifyAfterFlash = 0;
  }
  host.ShowText(host.TranscriptText() + Format(kStrUpsType, {int{conn.upsTypeCode}, model.name}));
  return notFound ? 0 : 1;
}

int CConnectCommand::IdentificationStep() {
  if (!StartupHandshake()) return 0;
  int result = 0;
  DecodedReply reply;
  if (RequestBlock(kIdBlockCommand, kIdReplyBlock, kStrIdTimeout, kStrIdReceived, reply)) {
    StoreIdBlock(reply.data.data());
    if (RequestBlock(kConfigurationCommand, kConfigurationReplyBlock, kStrConfigTimeout, kStrConfigReceived,
                     reply)) {
      result = StoreConfigurationBlock(reply.data.data());
    }
  }
  if (result == 0) {
    host.SetStatusColour(StatusColour::Failure);
    host.ShowText(host.TranscriptText() + Text(kStrOemFileHint));
  }
  return result;
}
