#include "protocol/ReceiveState.h"

#include <algorithm>

#include "protocol/WireFormat.h"

namespace {

bool IsFrameMode(int mode) {
  return mode == kModeSubmoduleReply || mode == kModeFrame;
}

}  // namespace

void CReceiveState::ReceiveBytes(const std::uint8_t* bytes, std::uint32_t count) {
  if (bytes == nullptr) return;
  std::lock_guard lock(mutex_);
  const int before = mode_.load(std::memory_order_relaxed);
  int mode = before;
  if (mode == kModePlugAndPlay) {
    AssemblePnp(bytes, count, mode);
  } else if (IsFrameMode(mode)) {
    AssembleFrames(bytes, count, mode);
  } else {
    TraceReceived(TraceDirection::FromUpsDiscarded, bytes, count);
  }
  if (mode != before) PublishMode(mode);
}

void CReceiveState::SetReceiveMode(int mode, bool reset) {
  {
    std::lock_guard lock(mutex_);
    const int before = mode_.load(std::memory_order_relaxed);
    if (IsFrameMode(before) && (reset || (mode & 0xFF) != before) && length_ > tracedUpTo_) {
      TraceReceived(TraceDirection::FromUpsIncomplete, buffer_ + tracedUpTo_, length_ - tracedUpTo_);
    }
    if (reset) {
      length_ = 0;
      buffer_[0] = 0;
      tracedUpTo_ = 0;
      // At once, not at the next frame byte: a Plug-and-Play capture in
      // between moves the length, and a stale frame start would lie past it.
      progress_ = Progress{};
    }
    mode_.store(static_cast<std::int32_t>(mode & 0xFF), std::memory_order_release);
  }
  modeChanged_.Notify();
}

// A ")" ends the string; characters before the opening "(" are noise.
void CReceiveState::AssemblePnp(const std::uint8_t* bytes, std::uint32_t count, int& mode) {
  for (std::uint32_t i = 0; i < count && length_ < kPnpCapacity; ++i) {
    const char c = static_cast<char>(bytes[i]);
    if (c == ')') {
      mode = kModeIdle;
      if (length_ > 0) pnp_[length_++] = c;
      TraceReceived(TraceDirection::FromUps, pnp_, length_);
      break;
    }
    if (length_ > 0 || c == '(') pnp_[length_++] = c;
  }
  // One counter serves both buffers: a switch to Plug-and-Play mode without a
  // reset can find it past the string's capacity, which then counts as full.
  const std::uint16_t stored = std::min<std::uint16_t>(length_, kPnpCapacity);
  pnp_[stored] = 0;
  pnpLength_ = stored;
}

void CReceiveState::AssembleFrames(const std::uint8_t* bytes, std::uint32_t count, int& mode) {
  std::uint32_t i = 0;
  for (; i < count && length_ < kBufferSize; ++i) AssembleByte(bytes[i], mode);
  if (i < count) TraceReceived(TraceDirection::FromUpsDiscarded, bytes + i, count - i);
}

// The steps run in this order for every byte, each seeing what the previous
// one left, so the length byte sets the count only after the block byte.
void CReceiveState::AssembleByte(std::uint8_t b, int& mode) {
  Progress& p = progress_;
  if (p.bytesRemaining > 0 && p.sequenceSeen > 0) --p.bytesRemaining;
  if (p.bytesRemaining > 0 && p.sequenceSeen == 0) p.sequenceSeen = b;
  if (p.blockSeen > 0 && p.bytesRemaining == 0 && p.sequenceSeen == 0) p.bytesRemaining = b + 1;
  if (p.startSeen == kStartByte && p.blockSeen == 0) p.blockSeen = b;
  if (p.startSeen == 0 && b == kStartByte) {
    p.startSeen = kStartByte;
    frameStart_ = length_;
  }
  buffer_[length_++] = b;
  if (p.bytesRemaining != 0 || p.sequenceSeen == 0) return;
  // A frame has ended; the next one is recognised by its own start byte.
  TraceReceived(TraceDirection::FromUps, buffer_ + frameStart_, length_ - frameStart_);
  tracedUpTo_ = length_;
  if ((p.sequenceSeen & kLastFrameBit) != 0) mode = kModeIdle;
  p = Progress{};
}

void CReceiveState::TraceReceived(TraceDirection direction, const void* bytes, std::size_t count) const {
  IFrameTrace* trace = trace_.load(std::memory_order_acquire);
  if (trace != nullptr) trace->Frame(direction, static_cast<const std::uint8_t*>(bytes), count);
}

void CReceiveState::PublishMode(int mode) {
  mode_.store(mode, std::memory_order_release);
  modeChanged_.Notify();
}
