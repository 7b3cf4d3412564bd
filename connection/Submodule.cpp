#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "connection/SubmoduleRoute.h"
#include "resources/Strings.h"

namespace {

constexpr std::uint8_t kSubmoduleCommand = 0xCE;
constexpr int kSubmoduleReplyPolls = 800;
constexpr std::uint16_t kReplyCapacity = 300;
constexpr std::uint8_t kAcknowledgeBlock = 9;
constexpr std::uint8_t kAckAccepted = '1';
constexpr std::uint8_t kAckTimeout = '2';

Frame SubmoduleRequest(const SubmoduleRoute& route) {
  const auto& b = route.bytes;
  if (route.length == 1) return CUpsLink::BuildTwoByteRequest(kSubmoduleCommand, b[0]);
  if (route.length == 2) return CUpsLink::BuildThreeByteRequest(kSubmoduleCommand, b[0], b[1]);
  return CUpsLink::BuildFourByteRequest(kSubmoduleCommand, b[0], b[1], b[2]);
}

}  // namespace

void CMainFrame::OnSelectSubmodule() {
  operation_ = 1;
  SetStatusColour(StatusColour::Ok);
  ShowText("");
  view_.EnableToolbarButton(kCmdProgram, false);
  view_.EnableToolbarButton(kCmdSelectSubmodule, false);
  view_.EnableToolbarButton(kCmdClose, false);
  conn_.routeLength = 0;
  bool ok = true;
  const std::optional<std::string> text = view_.AskSubmoduleText();
  if (text) {
    const SubmoduleRoute route = ParseSubmoduleRoute(*text);
    if (!route.valid) {
      MessageBox(Text(kStrSubmoduleWrongHex));
      ok = false;
    } else {
      conn_.routeLength = route.length;
      ok = SendSubmoduleRequest(route) && SubmoduleFollowUp();
    }
  }
  if (!ok) CloseImage();
  view_.SetTitle(Text(kStrAppTitle));
  operation_ = 0;
}

bool CMainFrame::SendSubmoduleRequest(const SubmoduleRoute& route) {
  const Frame request = SubmoduleRequest(route);
  ShowText(TranscriptText() + Text(kStrSubmoduleSent));
  ScrollToEnd();
  SetReceiveMode(kModeSubmoduleReply, true);
  if (request.empty()) {
    MessageBox(Text(kStrOutOfMemory));
  } else {
    Link().WriteFrame(request);
  }
  std::string copy = TranscriptText();
  if (!WaitReply(kModeSubmoduleReply, kSubmoduleReplyPolls)) {
    // No answer is not a refusal: the follow-up still runs.
    SetReceiveMode(kModeIdle, false);
    ShowText(copy + Text(kStrSubmoduleSent));
    view_.EnableToolbarButton(kCmdProgram, false);
    return true;
  }
  std::uint8_t data[kReplyCapacity] = {};
  std::uint16_t count = 0;
  std::uint8_t error = 0;
  std::uint8_t block = 0;
  if (!Link().DecodeFrames(rx_.ReceiveBuffer(), rx_.ReceiveLength(), data, kReplyCapacity, count, error,
                           block)) {
    ShowText(copy + Format(kStrSubmoduleDecodeError, {static_cast<int>(error)}));
    view_.EnableToolbarButton(kCmdProgram, false);
    return false;
  }
  if (block != kAcknowledgeBlock) {
    ShowText(copy + Format(kStrSubmoduleWrongBlock, {static_cast<int>(block)}));
    view_.EnableToolbarButton(kCmdProgram, false);
    return false;
  }
  const std::uint8_t code = count > 0 ? data[0] : 0;
  if (code == kAckTimeout) {
    ShowText(copy + Text(kStrSubmoduleTimeout));
    view_.EnableToolbarButton(kCmdProgram, false);
    return false;
  }
  if (code != kAckAccepted) {
    ShowText(copy + Text(kStrSubmoduleAckUnimplemented));
    return false;
  }
  if (route.length == 2 && route.bytes[1] == 0) view_.SetStatusText(Text(kStrSubmoduleAckManifold));
  if (route.length == 2 && route.bytes[1] >= 1)
    view_.SetStatusText(Format(kStrSubmoduleAckPower, {route.bytes[1]}));
  if (route.length == 3) view_.SetStatusText(Format(kStrSubmoduleAckPower, {route.bytes[2]}));
  return true;
}

bool CMainFrame::SubmoduleFollowUp() {
  bool ok = IdentificationStep() != 0;
  if (OnOpen() == 0) {
    MessageBox(Text(kStrTypeMismatch));
    SetStatusColour(StatusColour::Ok);
    return false;
  }
  ServiceModeStep();
  if (FlashCapabilitiesStep() == 0) ok = false;
  return ok;
}
