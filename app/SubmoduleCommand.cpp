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
  host_.SetStatusColour(StatusColour::Ok);
  host_.ShowText("");
  host_.DisableButton(CommandButton::Program);
  host_.DisableButton(CommandButton::SelectSubmodule);
  host_.DisableButton(CommandButton::Close);
  conn_.routeLength = 0;
  bool ok = true;
  const std::optional<std::string> text = host_.AskSubmoduleText();
  if (text) {
    const SubmoduleRoute route = ParseSubmoduleRoute(*text);
    // Counted while parsing: the groups before a rejected one still lengthen later waits.
    conn_.routeLength = route.length;
    if (!route.valid) {
      host_.MessageBox(Text(kStrSubmoduleWrongHex));
      ok = false;
    } else {
      ok = SendSubmoduleRequest(route) && SubmoduleFollowUp();
    }
  }
  if (!ok) image_.CloseImage();
  host_.SetTitle(Text(kStrAppTitle));
  rom_.operation = 0;
}

bool CSubmoduleCommand::SendSubmoduleRequest(const SubmoduleRoute& route) {
  host_.ShowText(host_.TranscriptText() + Text(kStrSubmoduleSent));
  host_.ScrollToEnd();
  if (!link_.SendRequest(SubmoduleRequest(route), false, kModeSubmoduleReply))
    host_.MessageBox(Text(kStrOutOfMemory));
  std::string copy = host_.TranscriptText();
  if (!linkHost_.WaitReply(kModeSubmoduleReply, kSubmoduleReplyPolls)) {
    // No answer is not a refusal: the follow-up still runs.
    linkHost_.Receive().SetReceiveMode(kModeIdle, false);
    host_.ShowText(copy + Text(kStrSubmoduleSent));
    host_.DisableButton(CommandButton::Program);
    return true;
  }
  // A reply that refuses the route: its line, and Program stays grey.
  const auto refused = [&](const std::string& line) {
    host_.ShowText(copy + line);
    host_.DisableButton(CommandButton::Program);
    return false;
  };
  const DecodedReply reply = link_.DecodeReply();
  if (!reply.Ok()) return refused(Format(kStrSubmoduleDecodeError, {static_cast<int>(reply.error)}));
  if (reply.block != kAcknowledgeBlock)
    return refused(Format(kStrSubmoduleWrongBlock, {static_cast<int>(reply.block)}));
  const std::uint8_t code = reply.count > 0 ? reply.data[0] : 0;
  if (code == kAckSubmoduleTimeout) return refused(Text(kStrSubmoduleTimeout));
  if (code != kAckAccepted) {
    host_.ShowText(copy + Text(kStrSubmoduleAckUnimplemented));
    return false;
  }
  if (route.length == 2 && route.bytes[1] == 0) host_.SetStatusText(Text(kStrSubmoduleAckManifold));
  if (route.length == 2 && route.bytes[1] >= 1)
    host_.SetStatusText(Format(kStrSubmoduleAckPower, {route.bytes[1]}));
  if (route.length == 3) host_.SetStatusText(Format(kStrSubmoduleAckPower, {route.bytes[2]}));
  return true;
}

bool CSubmoduleCommand::SubmoduleFollowUp() {
  bool ok = connect_.IdentificationStep() != 0;
  if (image_.OnOpen(RangeCheck::AfterModuleSpaces) == 0) {
    host_.MessageBox(Text(kStrTypeMismatch));
    host_.SetStatusColour(StatusColour::Ok);
    return false;
  }
  connect_.ServiceModeStep();
  // A module has a memory map of its own: the image goes into a space it reports.
  const int firstModuleSpace = conn_.spaceCount;
  if (connect_.FlashCapabilitiesStep() == 0) ok = false;
  image_.CheckModuleRange(firstModuleSpace);
  return ok;
}
