#include "app/SubmoduleCommand.h"

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

void CSubmoduleCommand::OnSelectSubmodule() {
  rom_.operation = 1;
  host.SetStatusColour(StatusColour::Ok);
  host.ShowText("");
  host.DisableButton(CommandButton::Program);
  host.DisableButton(CommandButton::SelectSubmodule);
  host.DisableButton(CommandButton::Close);
  conn.routeLength = 0;
  bool ok = true;
  const std::optional<std::string> text = host.AskSubmoduleText();
  if (text) {
    const SubmoduleRoute route = ParseSubmoduleRoute(*text);
    // Counted while parsing: the groups before a rejected one still lengthen later waits.
    conn.routeLength = route.length;
    if (!route.valid) {
      host.MessageBox(Text(kStrSubmoduleWrongHex));
      ok = false;
    } else {
      ok = SendSubmoduleRequest(route) && SubmoduleFollowUp();
    }
  }
  if (!ok) image_.CloseImage();
  host.SetTitle(Text(kStrAppTitle));
  rom_.operation = 0;
}

bool CSubmoduleCommand::SendSubmoduleRequest(const SubmoduleRoute& route) {
  host.ShowText(host.TranscriptText() + Text(kStrSubmoduleSent));
  host.ScrollToEnd();
  if (!link.SendRequest(SubmoduleRequest(route), false, kModeSubmoduleReply))
    host.MessageBox(Text(kStrOutOfMemory));
  std::string copy = host.TranscriptText();
  if (!linkHost.WaitReply(kModeSubmoduleReply, kSubmoduleReplyPolls)) {
    // No answer is not a refusal: the follow-up still runs.
    linkHost.Receive().SetReceiveMode(kModeIdle, false);
    host.ShowText(copy + Text(kStrSubmoduleSent));
    host.DisableButton(CommandButton::Program);
    return true;
  }
  // A reply that refuses the route: its line, and Program stays grey.
  const auto refused = [&](const std::string& line) {
    host.ShowText(copy + line);
    host.DisableButton(CommandButton::Program);
    return false;
  };
  const DecodedReply reply = link.DecodeReply();
  if (!reply.Ok()) return refused(Format(kStrSubmoduleDecodeError, {static_cast<int>(reply.error)}));
  if (reply.block != kAcknowledgeBlock)
    return refused(Format(kStrSubmoduleWrongBlock, {static_cast<int>(reply.block)}));
  const std::uint8_t code = reply.count > 0 ? reply.data[0] : 0;
  if (code == kAckSubmoduleTimeout) return refused(Text(kStrSubmoduleTimeout));
  if (code != kAckAccepted) {
    host.ShowText(copy + Text(kStrSubmoduleAckUnimplemented));
    return false;
  }
  if (route.length == 2 && route.bytes[1] == 0) host.SetStatusText(Text(kStrSubmoduleAckManifold));
  if (route.length == 2 && route.bytes[1] >= 1)
    host.SetStatusText(Format(kStrSubmoduleAckPower, {route.bytes[1]}));
  if (route.length == 3) host.SetStatusText(Format(kStrSubmoduleAckPower, {route.bytes[2]}));
  return true;
}

bool CSubmoduleCommand::SubmoduleFollowUp() {
  bool ok = connect_.IdentificationStep() != 0;
  if (image_.OnOpen(RangeCheck::AfterModuleSpaces) == 0) {
    host.MessageBox(Text(kStrTypeMismatch));
    host.SetStatusColour(StatusColour::Ok);
    return false;
  }
  connect_.ServiceModeStep();
  // A module has a memory map of its own: the image goes into a space it reports.
  const int firstModuleSpace = conn.spaceCount;
  if (connect_.FlashCapabilitiesStep() == 0) ok = false;
  image_.CheckModuleRange(firstModuleSpace);
  return ok;
}
