#include "protocol/UpsLink.h"

namespace {

constexpr int kAuthorizationPauseMs = 250;
constexpr std::uint16_t kFlashReplyCapacity = 300;
constexpr std::uint8_t kFlashReplyBlock = 0xC9;
constexpr std::uint8_t kFlashCommand = 0xC9;
constexpr std::uint8_t kStartFlashLetter = 0x53;
constexpr std::uint8_t kEndFlashLetter = 0x45;

}  // namespace

void CUpsLink::WriteFrame(const Frame& frame) {
  if (host_ == nullptr) return;
  IByteSink& sink = host_->Sink();
  // Traced before the first byte goes, so the trace never delays a reply's arrival.
  if (trace_ != nullptr) trace_->Frame(TraceDirection::ToUps, frame.data(), frame.size());
  for (std::uint8_t b : frame) sink.WriteByte(b);
}

int CUpsLink::SendAuthorization() {
  const Frame frame = BuildAuthorization();
  if (frame.empty()) return 0;
  WriteFrame(frame);
  return 1;
}

int CUpsLink::SendRawRequest(const std::uint8_t* bytes, std::uint8_t n) {
  const Frame frame = BuildRawRequest(bytes, n);
  if (frame.empty()) return 0;
  WriteFrame(frame);
  return 1;
}

void CUpsLink::SendOneByteRequest(bool withAuthorization, std::uint8_t command) {
  if (host_ == nullptr) return;
  if (withAuthorization) {
    SendAuthorization();
    host_->Clock().SleepMs(kAuthorizationPauseMs);
  }
  const Frame frame = BuildOneByteRequest(command);
  host_->Receive().SetReceiveMode(kModeFrame, true);
  WriteFrame(frame);
}

void CUpsLink::SendThreeByteRequest(bool withAuthorization, std::uint8_t command, std::uint8_t p1,
                                    std::uint8_t p2) {
  if (host_ == nullptr) return;
  if (withAuthorization) {
    SendAuthorization();
    host_->Clock().SleepMs(kAuthorizationPauseMs);
  }
  const Frame frame = BuildThreeByteRequest(command, p1, p2);
  host_->Receive().SetReceiveMode(kModeFrame, true);
  WriteFrame(frame);
}

bool CUpsLink::StartFlash(std::uint8_t module, std::uint32_t loadAddress, int spaceIndex) {
  if (host_ == nullptr || spaceIndex < 0 || spaceIndex >= CConnectionState::kFlashSpaceEntries) return false;
  const FlashSpace& space = host_->Space(spaceIndex);
  return FlashEcho(BuildStartFlashRequest(module, space.spaceDescriptor, loadAddress, space.spaceSize),
                   kStartFlashLetter);
}

bool CUpsLink::EndFlash(std::uint8_t module) {
  if (host_ == nullptr) return false;
  return FlashEcho(BuildThreeByteRequest(kFlashCommand, kEndFlashLetter, module), kEndFlashLetter);
}

// Sends a flash operation request and checks that the UPS echoed its letter.
bool CUpsLink::FlashEcho(const Frame& request, std::uint8_t echo) {
  if (request.empty()) return false;
  CReceiveState& rx = host_->Receive();
  rx.SetReceiveMode(kModeFrame, true);
  WriteFrame(request);
  if (!host_->WaitReply(kModeFrame, AllowanceByRoute(host_->RouteLength()))) {
    rx.SetReceiveMode(kModeIdle, false);
    return false;
  }
  std::uint8_t data[kFlashReplyCapacity];
  std::uint16_t count = 0;
  std::uint8_t error = 0;
  std::uint8_t block = 0;
  const bool decoded =
      DecodeFrames(rx.ReceiveBuffer(), rx.ReceiveLength(), data, kFlashReplyCapacity, count, error, block);
  return decoded && block == kFlashReplyBlock && count >= 1 && data[0] == echo;
}
