#include <algorithm>

#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "resources/Strings.h"
#include "rom/ModelLookup.h"

namespace {

constexpr int kStartupPauseMs = 2000;
constexpr std::uint8_t kStartCommCommand = 0xA0;
constexpr std::uint8_t kIdBlockRequest = 0x31;
constexpr std::uint8_t kConfigurationRequest = 0x36;
constexpr std::uint8_t kIdBlock = 1;
constexpr std::uint8_t kConfigurationBlock = 6;
constexpr std::uint16_t kReplyCapacity = 300;

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

int CMainFrame::StartupHandshake() {
  Clock().SleepMs(kStartupPauseMs);
  const std::string copy = TranscriptText();
  ShowText(copy + Text(kStrStartupAttempt));
  Link().SendOneByteRequest(true, kStartCommCommand);
  if (!WaitReply(kModeFrame, AllowanceByRoute(conn_.routeLength))) {
    SetReceiveMode(kModeIdle, false);
    ShowText(copy + Text(kStrStartupTimeout));
    return 1;
  }
  std::string text = copy + Text(kStrStartupReceived);
  ShowText(text);
  std::uint8_t data[kReplyCapacity] = {};
  std::uint16_t count = 0;
  std::uint8_t error = 0, block = 0;
  if (!Link().DecodeFrames(rx_.ReceiveBuffer(), rx_.ReceiveLength(), data, kReplyCapacity, count, error,
                           block)) {
    ShowText(text + Format(kStrErrDecodingUpsData, {int{error}}));
    return 0;
  }
  ShowText(text + Format(kStrReceivedBlock, {int{block}}));
  return 1;
}

// Sends a one-byte block request and waits; the reply's block and data on
// success, otherwise the failure line is shown in red and false returned.
bool CMainFrame::RequestBlock(std::uint8_t command, std::uint8_t expectedBlock, StringId timeoutLine,
                              StringId receivedLine, std::uint8_t* data, std::uint16_t& count) {
  const std::string copy = TranscriptText();
  ShowText(copy + Text(kStrIdAttempt));
  Link().SendOneByteRequest(false, command);
  if (!WaitReply(kModeFrame, AllowanceByRoute(conn_.routeLength))) {
    SetReceiveMode(kModeIdle, false);
    SetStatusColour(StatusColour::Failure);
    ShowText(copy + Text(timeoutLine));
    return false;
  }
  const std::string text = copy + Text(receivedLine);
  ShowText(text);
  std::uint8_t error = 0, block = 0;
  if (!Link().DecodeFrames(rx_.ReceiveBuffer(), rx_.ReceiveLength(), data, kReplyCapacity, count, error,
                           block)) {
    SetStatusColour(StatusColour::Failure);
    ShowText(text + Format(kStrErrDecodingUpsData, {int{error}}));
    return false;
  }
  if (block != expectedBlock) {
    SetStatusColour(StatusColour::Failure);
    ShowText(text + Format(kStrIdWrongBlock, {int{block}}));
    return false;
  }
  return true;
}

void CMainFrame::StoreIdBlock(const std::uint8_t* data) {
  int n = std::min<int>(data[0], CConnectionState::kControllerSlots);
  conn_.firmwareVersions.fill(0);
  conn_.firmwareVersions[0] = Version(data, 0);
  conn_.firmwareVersions[1] = Version(data, 1);
  bool inverterOnly = false;
  if (n == 2 && conn_.firmwareVersions[1] == 0) {
    n = 1;
  } else if (n == 2 && conn_.firmwareVersions[0] == 0) {
    n = 1;
    inverterOnly = true;
  }
  for (int k = 2; k < n; ++k) conn_.firmwareVersions[static_cast<std::size_t>(k)] = Version(data, k);
  std::string text = TranscriptText() + Format(kStrControllerCount, {n});
  if (n == 1) text += FirmwareLine(inverterOnly ? 1 : 0, data);
  for (int k = 0; n > 1 && k < n; ++k) text += FirmwareLine(k, data);
  ShowText(text);
}

int CMainFrame::StoreConfigurationBlock(const std::uint8_t* data) {
  conn_.upsTypeCode = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
  const ModelLookupResult model = LookupModel(conn_.upsTypeCode, Text(kStrModelFileName));
  const bool notFound = model.firstReadYielded && !model.matched;
  if (model.name == Text(kStrModelRendalManifold) || model.name == Text(kStrModelRendalPower)) {
    app_.options.verifyAfterFlash = 0;
  }
  ShowText(TranscriptText() + Format(kStrUpsType, {int{conn_.upsTypeCode}, model.name}));
  return notFound ? 0 : 1;
}

int CMainFrame::IdentificationStep() {
  if (!StartupHandshake()) return 0;
  int result = 0;
  std::uint8_t data[kReplyCapacity] = {};
  std::uint16_t count = 0;
  if (RequestBlock(kIdBlockRequest, kIdBlock, kStrIdTimeout, kStrIdReceived, data, count)) {
    StoreIdBlock(data);
    std::fill(std::begin(data), std::end(data), std::uint8_t{0});
    if (RequestBlock(kConfigurationRequest, kConfigurationBlock, kStrConfigTimeout, kStrConfigReceived, data,
                     count)) {
      result = StoreConfigurationBlock(data);
    }
  }
  if (result == 0) {
    SetStatusColour(StatusColour::Failure);
    ShowText(TranscriptText() + Text(kStrOemFileHint));
  }
  return result;
}
