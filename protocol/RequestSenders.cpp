#include "protocol/ReplyWait.h"
#include "protocol/UpsLink.h"

void CUpsLink::WriteFrame(const Frame& frame) {
  if (host_ == nullptr || frame.empty()) return;
  IByteSink& sink = host_->Sink();
  // Traced before the first byte goes, so the trace never delays a reply's arrival.
  if (trace_ != nullptr) trace_->Frame(TraceDirection::ToUps, frame.data(), frame.size());
  for (std::uint8_t b : frame) sink.WriteByte(b);
  sink.EndFrame();
}

bool CUpsLink::SendRequest(const Frame& request, bool withAuthorization, int mode) {
  if (host_ == nullptr) return false;
  if (withAuthorization) {
    WriteFrame(BuildAuthorization());
    host_->Clock().SleepMs(kAuthorizationPauseMs);
  }
  host_->Receive().SetReceiveMode(mode, true);
  WriteFrame(request);
  return !request.empty();
}

bool CUpsLink::StartFlash(std::uint8_t module, std::uint32_t loadAddress, int spaceIndex) {
  if (host_ == nullptr || spaceIndex < 0 || spaceIndex >= kFlashSpaceEntries) return false;
  const FlashSpace& space = host_->Space(spaceIndex);
  return FlashEcho(BuildStartFlashRequest(module, space.spaceDescriptor, loadAddress, space.spaceSize),
                   kStartFlashOperation);
}

bool CUpsLink::EndFlash(std::uint8_t module) {
  if (host_ == nullptr) return false;
  return FlashEcho(BuildRequest(kFlashCommand, {kEndFlashOperation, module}), kEndFlashOperation);
}

// Sends a flash operation request and checks that the UPS echoed its letter.
bool CUpsLink::FlashEcho(const Frame& request, std::uint8_t echo) {
  if (!SendRequest(request) || !Answered(*host_)) return false;
  const DecodedReply reply = DecodeReply();
  return reply.Ok() && reply.block == kFlashReplyBlock && reply.count >= 1 && reply.data[0] == echo;
}

bool Answered(ILinkHost& host, int polls) {
  if (host.WaitReply(kModeFrame, polls)) return true;
  host.Receive().SetReceiveMode(kModeIdle, false);
  return false;
}

bool Answered(ILinkHost& host) {
  return Answered(host, AllowanceByRoute(host.RouteLength()));
}
