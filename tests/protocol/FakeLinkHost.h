#pragma once

#include <string>
#include <vector>

#include "Hex.h"
#include "protocol/ReplyWait.h"
#include "protocol/UpsLink.h"
#include "sim/VirtualClock.h"

// Records every written byte with the simulated time it went out; a scripted
// reply arrives through the receive state as the pump would deliver it.
class CFakeLinkHost final : public ILinkHost, public IByteSink {
 public:
  struct Write {
    std::int64_t atMs;
    std::uint8_t byte;
  };

  bool WriteByte(std::uint8_t byte) override {
    writes.push_back({clock.NowMs(), byte});
    modeAtWrite.push_back(rx.ReceiveMode());
    lengthAtWrite.push_back(rx.ReceiveLength());
    return true;
  }

  IByteSink& Sink() override { return *this; }
  CReceiveState& Receive() override { return rx; }
  IClock& Clock() override { return clock; }
  bool WaitReply(int mode, int polls) override {
    waitedPolls = polls;
    waitStartMs = clock.NowMs();
    if (!reply.empty()) {
      clock.Schedule(clock.NowMs() + replyAfterMs,
                     [this] { rx.ReceiveBytes(reply.data(), static_cast<std::uint32_t>(reply.size())); });
    }
    return PollWhileMode(rx, clock, nullptr, nullptr, mode, polls);
  }
  const FlashSpace& Space(int index) const override { return spaces[index]; }
  int RouteLength() const override { return routeLength; }

  std::string WrittenHex(std::size_t from = 0, std::size_t count = std::string::npos) const {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = from; i < writes.size() && i - from < count; ++i) bytes.push_back(writes[i].byte);
    return ToHex(bytes);
  }

  CReceiveState rx;
  CVirtualClock clock;
  std::array<FlashSpace, kFlashSpaceEntries> spaces{};
  int routeLength = 0;
  std::vector<std::uint8_t> reply;
  int replyAfterMs = 30;
  int waitedPolls = 0;
  std::int64_t waitStartMs = 0;
  std::vector<Write> writes;
  std::vector<int> modeAtWrite;
  std::vector<int> lengthAtWrite;
};
