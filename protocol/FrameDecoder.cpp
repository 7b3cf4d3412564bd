#include "protocol/UpsLink.h"
#include "resources/Strings.h"

namespace {

struct DecodeCursor {
  const std::uint8_t* source;
  std::uint16_t length;
  std::uint16_t pos = 0;
  bool AtEnd() const { return pos >= length; }
};

// Checks one frame from its block byte on and appends its data; a decode
// error code, or kDecodeOk.
std::uint8_t DecodeFrameBody(DecodeCursor& c, std::uint8_t* output, std::uint16_t capacity,
                             std::uint16_t& dataCount, std::uint8_t& blockByte,
                             std::uint8_t& previousSequence, bool& last) {
  blockByte = c.source[c.pos++];
  if (c.AtEnd()) return kDecodeEndsAfterBlock;
  const std::uint8_t n = c.source[c.pos++];
  if (c.AtEnd() || n > kMaxFrameDataBytes) return kDecodeBadLength;
  const std::uint8_t s = c.source[c.pos++];
  if ((s & kLastFrameBit) != 0) last = true;
  if (c.AtEnd() || (s & kSequenceMask) != previousSequence + 1) return kDecodeOutOfSequence;
  previousSequence = s & kSequenceMask;
  if (c.length - c.pos < n + 1 || capacity - dataCount < n) return kDecodeDoesNotFit;
  std::uint8_t sum = kStartByte + blockByte + n + s;
  for (int i = 0; i < n; ++i) {
    const std::uint8_t b = c.source[c.pos++];
    output[dataCount++] = b;
    sum += b;
  }
  const std::uint8_t checksum = c.source[c.pos++];
  return static_cast<std::uint8_t>(sum + checksum) == 0 ? kDecodeOk : kDecodeChecksum;
}

}  // namespace

bool CUpsLink::DecodeFrames(const std::uint8_t* source, std::uint16_t sourceLength, std::uint8_t* output,
                            std::uint16_t capacity, std::uint16_t& dataCount, std::uint8_t& errorCode,
                            std::uint8_t& blockByte) const {
  dataCount = 0;
  errorCode = kDecodeOk;
  blockByte = 0;
  DecodeCursor c{source, sourceLength};
  std::uint8_t previousSequence = 0;
  bool last = false;
  while (!last && !c.AtEnd()) {
    while (!c.AtEnd() && source[c.pos] != kStartByte) ++c.pos;
    ++c.pos;
    if (c.AtEnd()) {
      errorCode = kDecodeNoStart;
      return false;
    }
    errorCode = DecodeFrameBody(c, output, capacity, dataCount, blockByte, previousSequence, last);
    if (errorCode != kDecodeOk) return false;
  }
  return true;
}

DecodedReply CUpsLink::DecodeReply(std::uint16_t capacity) const {
  DecodedReply reply;
  // Without a host nothing was received: decoding nothing succeeds, empty.
  if (host_ == nullptr) return reply;
  const CReceiveState& rx = host_->Receive();
  DecodeFrames(rx.ReceiveBuffer(), rx.ReceiveLength(), reply.data.data(), capacity, reply.count, reply.error,
               reply.block);
  return reply;
}

std::string CUpsLink::ErrorName(int code) const {
  static constexpr StringId kNames[] = {kStrErrUnknown,   kStrErrNoStart,       kStrErrBadBlock,
                                        kStrErrBadLength, kStrErrOutOfSequence, kStrErrChecksum};
  if (code < 1 || code > 5) return Text(kStrErrUnknown);
  return Text(kNames[code]);
}
