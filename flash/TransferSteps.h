#pragma once

#include <algorithm>
#include <cstdint>

#include "protocol/UpsLink.h"

// Pieces the programming and the verification loops share.
namespace transfer {

inline constexpr std::uint8_t kCommand = 0xC9;
inline constexpr std::uint8_t kReplyBlock = 0xC9;
inline constexpr std::uint16_t kReplyCapacity = 300;
inline constexpr std::uint8_t kTerminated = 0x58;
inline constexpr std::uint8_t kNack = 0x4E;
inline constexpr std::uint8_t kRepeat = 0x09;
inline constexpr int kMaxRetries = 3;

inline std::uint32_t BlockLength(std::uint32_t remaining, std::uint32_t maxBlock) {
  return std::min({remaining, static_cast<std::uint32_t>(CUpsLink::kMaxTransferBlock), maxBlock});
}

// The hourglass stays while a loop runs, whichever way it ends.
class CWaitCursor {
 public:
  explicit CWaitCursor(ILinkHost& host) : host_(host) { host_.SetWaitCursor(true); }
  ~CWaitCursor() { host_.SetWaitCursor(false); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  ILinkHost& host_;
};

struct Reply {
  std::uint8_t data[kReplyCapacity] = {};
  std::uint16_t count = 0;
  std::uint8_t error = 0;
  std::uint8_t block = 0;
};

}  // namespace transfer
