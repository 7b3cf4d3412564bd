#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "connection/SubmoduleRoute.h"
#include "resources/Strings.h"

namespace {

constexpr int kSubmoduleReplyPolls = 800;

Frame SubmoduleRequest(const SubmoduleRoute& route) {
  const auto& b = route.bytes;
  if (route.length == 1) return CUpsLink::BuildRequest(kSubmoduleCommand, {b[0]});
  if (route.length == 2) return CUpsLink::BuildRequest(kSubmoduleCommand, {b[0], b[1]});
  return CUpsLink::BuildRequest(kSubmoduleCommand, {b[0], b[1], b[2]});
}

}  // namespace

void CMainFrame::OnSelectSubmodule() {
  operation_ = 1;
  view_.SetStatusColour(StatusColour::Ok);
  ShowText("");
  view_.EnableToolbarButton(kCmdProgram, false);
  view_.EnableToolbarButton(kCmdSelectSubmodule, false);
  view_.EnableToolbarButton(kCmdClose, false);
  conn_.routeLength = 0;
  bool ok = true;
  const std::optional<std::string> text = view_.AskSubmoduleText();
  if (text) {
    const SubmoduleRoute route = ParseSubmoduleRoute(*text);
    // Counted while parsing: the groups before a rejected one still lengthen later waits.
    conn_.routeLength = route.length;
    if (!route.valid) {
      MessageBox(Text(kStrSubmoduleWrongHex));
      ok = false;
    } else {
      ok = SendSubmoduleRequest(route) && SubmoduleFollowUp();
    }
  }
  if (!ok) CloseImage();
  view_.SetTitle(Text(kStrAppTitle));
  operation_ = 0;
}

bool CMainFrame::SendSubmoduleRequest(const SubmoduleRoute& route) {
  ShowText(TranscriptText() + Text(kStrSubmoduleSent));
  ScrollToEnd();
  if (!Link().SendRequest(SubmoduleRequest(route), false, kModeSubmoduleReply))
    MessageBox(Text(kStrOutOfMemory));
  std::string copy = TranscriptText();
  if (!WaitReply(kModeSubmoduleReply, kSubmoduleReplyPolls)) {
    // No answer is not a refusal: the follow-up still runs.
    rx_.SetReceiveMode(kModeIdle, false);
    ShowText(copy + Text(kStrSubmoduleSent));
    view_.EnableToolbarButton(kCmdProgram, false);
    return true;
  }
  const DecodedReply reply = Link().DecodeReply();
  if (!reply.Ok()) {
    ShowText(copy + Format(kStrSubmoduleDecodeError, {static_cast<int>(reply.error)}));
    view_.EnableToolbarButton(kCmdProgram, false);
    return false;
  }
  if (reply.block != kAcknowledgeBlock) {
    ShowText(copy + Format(kStrSubmoduleWrongBlock, {static_cast<int>(reply.block)}));
    view_.EnableToolbarButton(kCmdProgram, false);
    return false;
  }
  const std::uint8_t code = reply.count > 0 ? reply.data[0] : 0;
  if (code == kAckSubmoduleTimeout) {
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
  if (OnOpen(RangeCheck::AfterModuleSpaces) == 0) {
    MessageBox(Text(kStrTypeMismatch));
    view_.SetStatusColour(StatusColour::Ok);
    return false;
  }
  ServiceModeStep();
  // A module has a memory map of its own: the image goes into a space it reports.
  const int firstModuleSpace = conn_.spaceCount;
  if (FlashCapabilitiesStep() == 0) ok = false;
  CheckModuleRange(firstModuleSpace);
  return ok;
}
