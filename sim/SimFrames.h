#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "protocol/WireFormat.h"

// The simulator's own framing, written apart from the loader's so that a
// fault in one is never mirrored by the other; the codes are shared.

// One request as the UPS saw it: command byte and parameters.
struct SimRequest {
  std::uint8_t command = 0;
  std::vector<std::uint8_t> params;
  std::vector<std::uint8_t> bytes;  // the whole frame as received
};

// Sum of the bytes, start byte included, modulo 256.
std::uint8_t SimByteSum(const std::uint8_t* bytes, std::size_t count);

// A response of one or more frames; at most maxData data bytes per frame
// (kMaxFrameDataBytes is the most a frame may carry).
std::vector<std::uint8_t> EncodeSimReply(std::uint8_t block, const std::vector<std::uint8_t>& data,
                                         std::size_t maxData = kMaxFrameDataBytes);

// Collects request frames from the received byte stream. A frame with a bad
// checksum is dropped, as a real UPS drops it; so is a frame left unfinished
// for longer than kGapUs.
class CSimRequestParser {
 public:
  static constexpr std::int64_t kGapUs = 100'000;

  // Feeds one byte; true when it completed a well-formed frame.
  bool Feed(std::uint8_t byte, std::int64_t atUs, SimRequest& request);
  int BadChecksums() const { return badChecksums_; }
  void Reset() { frame_.clear(); }

 private:
  std::vector<std::uint8_t> frame_;
  std::int64_t lastUs_ = 0;
  int badChecksums_ = 0;
};
