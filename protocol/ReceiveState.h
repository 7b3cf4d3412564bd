#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "seams/ByteReceiver.h"
#include "seams/Clock.h"
#include "seams/FrameTrace.h"

// What the receive assembly does with incoming bytes.
enum ReceiveMode : std::int32_t {
  kModeIdle = 0,
  kModePlugAndPlay = 1,
  kModeSubmoduleReply = 2,
  kModeFrame = 3,
};

// The receive state and its assembly. The receive mode is the hand-off
// between the pump thread and the user-interface thread: the pump stores a
// whole chunk, then publishes the new mode with release ordering; the
// user-interface thread reads the buffers only after it has seen the mode
// change (acquire) or has set the mode itself.
class CReceiveState final : public IByteReceiver {
 public:
  static constexpr int kBufferSize = 600;
  static constexpr int kPnpCapacity = 256;

  struct Progress {
    std::int32_t startSeen = 0;
    std::int32_t blockSeen = 0;
    std::int32_t bytesRemaining = 0;
    std::int32_t sequenceSeen = 0;
  };

  void ReceiveBytes(const std::uint8_t* bytes, std::uint32_t count) override;
  // Stores the low 8 bits of mode; with reset, also empties the buffers.
  void SetReceiveMode(int mode, bool reset);
  int ReceiveMode() const { return mode_.load(std::memory_order_acquire); }

  // Read only after the mode has changed away from the mode that was set.
  const std::uint8_t* ReceiveBuffer() const { return buffer_; }
  std::uint16_t ReceiveLength() const { return length_; }
  const char* PnpBuffer() const { return pnp_; }
  std::int32_t PnpLength() const { return pnpLength_; }
  // The receive length while the pump may still be storing (locks). Unlike
  // the Plug-and-Play length, which keeps the last capture's until the next
  // chunk, it starts again from 0 at every reset.
  std::uint16_t ReceiveLengthNow() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return length_;
  }

  // Sees every frame as it completes and the Plug-and-Play string once its
  // ")" arrives; nullptr for none. May be changed while the pump runs.
  void SetTrace(IFrameTrace* trace) { trace_.store(trace, std::memory_order_release); }

  // Notified whenever the receive mode changes, so a poll can end early.
  CSignal& ModeChanged() { return modeChanged_; }

 private:
  void AssemblePnp(const std::uint8_t* bytes, std::uint32_t count, int& mode);
  void AssembleFrames(const std::uint8_t* bytes, std::uint32_t count, int& mode);
  void AssembleByte(std::uint8_t b, int& mode);
  void PublishMode(int mode);
  void TraceReceived(TraceDirection direction, const void* bytes, std::size_t count) const;

  mutable std::mutex mutex_;  // serialises a chunk against a reset from the other thread
  std::atomic<std::int32_t> mode_{kModeIdle};
  std::uint8_t buffer_[kBufferSize] = {};
  std::uint16_t length_ = 0;
  char pnp_[kPnpCapacity + 1] = {};
  std::int32_t pnpLength_ = 0;
  Progress progress_;
  std::uint16_t frameStart_ = 0;  // where the current frame's start byte was stored
  std::uint16_t tracedUpTo_ = 0;  // stored bytes up to here are in the trace
  std::atomic<IFrameTrace*> trace_{nullptr};
  CSignal modeChanged_;
};
