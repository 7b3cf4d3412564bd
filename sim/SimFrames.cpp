#include "sim/SimFrames.h"

#include <algorithm>

#include "protocol/WireFormat.h"

namespace {
constexpr std::size_t kMaxRequestLength = 136;
}  // namespace

std::uint8_t SimByteSum(const std::uint8_t* bytes, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>(sum);
}

std::vector<std::uint8_t> EncodeSimReply(std::uint8_t block, const std::vector<std::uint8_t>& data,
                                         std::size_t maxData) {
  maxData = std::clamp<std::size_t>(maxData, 1, kMaxFrameDataBytes);
  std::vector<std::uint8_t> out;
  std::size_t offset = 0;
  std::uint8_t sequence = 1;
  do {
    const std::size_t n = std::min(maxData, data.size() - offset);
    const bool last = offset + n == data.size();
    const std::size_t frameStart = out.size();
    out.push_back(kStartByte);
    out.push_back(block);
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(sequence | (last ? kLastFrameBit : 0)));
    out.insert(out.end(), data.begin() + offset, data.begin() + offset + n);
    out.push_back(static_cast<std::uint8_t>(-SimByteSum(out.data() + frameStart, out.size() - frameStart)));
    offset += n;
    ++sequence;
  } while (offset < data.size());
  return out;
}

bool CSimRequestParser::Feed(std::uint8_t byte, std::int64_t atUs, SimRequest& request) {
  if (!frame_.empty() && atUs - lastUs_ > kGapUs) frame_.clear();
  lastUs_ = atUs;
  if (frame_.empty() && byte != kStartByte) return false;
  frame_.push_back(byte);
  if (frame_.size() == 2 && (byte == 0 || byte > kMaxRequestLength)) {
    frame_.clear();
    return false;
  }
  if (frame_.size() < 2 || frame_.size() < std::size_t{frame_[1]} + 3) return false;
  std::vector<std::uint8_t> frame;
  frame.swap(frame_);
  if (SimByteSum(frame.data(), frame.size()) != 0) {
    ++badChecksums_;
    return false;
  }
  request.command = frame[2];
  request.params.assign(frame.begin() + 3, frame.end() - 1);
  request.bytes = std::move(frame);
  return true;
}
