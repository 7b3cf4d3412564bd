#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "protocol/FlashSpace.h"
#include "protocol/ReceiveState.h"
#include "protocol/WireFormat.h"
#include "seams/ByteSink.h"
#include "seams/Clock.h"
#include "seams/FrameTrace.h"

// A request frame; empty means no frame could be had.
using Frame = std::vector<std::uint8_t>;

// What the link object and the commands need of the line they work over:
// where the bytes go, the receive state, the clock, the reply wait, the flash
// spaces and the route.
class ILinkHost {
 public:
  virtual ~ILinkHost() = default;
  virtual IByteSink& Sink() = 0;
  virtual CReceiveState& Receive() = 0;
  virtual IClock& Clock() = 0;
  // Polls while the receive mode is still `mode`, at most `polls` times;
  // true when it changed (answered). On a time-out the mode is left as is.
  virtual bool WaitReply(int mode, int polls) = 0;
  virtual const FlashSpace& Space(int index) const = 0;
  virtual int RouteLength() const = 0;
};

// Waits for a frame reply, at most `polls` polls or as long as the route
// allows; a time-out leaves the receive mode idle. True when answered.
bool Answered(ILinkHost& host, int polls);
bool Answered(ILinkHost& host);

enum DecodeError : std::uint8_t {
  kDecodeOk = 0,
  kDecodeNoStart = 1,
  kDecodeEndsAfterBlock = 2,
  kDecodeBadLength = 3,
  kDecodeOutOfSequence = 4,
  kDecodeChecksum = 5,
  kDecodeDoesNotFit = 6,
};

// A reply as the decoder left it: its block byte and data, or its error.
struct DecodedReply {
  std::uint8_t error = kDecodeOk;
  std::uint8_t block = 0;
  std::uint16_t count = 0;
  // Zero past count, with room for one space record that starts in the last
  // bytes of a full reply: the bytes it lacks read as 0.
  std::array<std::uint8_t, kReplyCapacityBytes + kSpaceRecordBytes> data{};
  bool Ok() const { return error == kDecodeOk; }
};

// The link object: decoder, request builders and senders. The programming
// and verification transfers (flash/) work through it and its host.
class CUpsLink {
 public:
  void SetHost(ILinkHost* host) { host_ = host; }
  // Sees every frame written; nullptr for none.
  void SetTrace(IFrameTrace* trace) { trace_ = trace; }

  bool DecodeFrames(const std::uint8_t* source, std::uint16_t sourceLength, std::uint8_t* output,
                    std::uint16_t capacity, std::uint16_t& dataCount, std::uint8_t& errorCode,
                    std::uint8_t& blockByte) const;
  // Decodes what the host's receive state holds, taking at most `capacity`
  // data bytes.
  DecodedReply DecodeReply(std::uint16_t capacity = kReplyCapacityBytes) const;
  std::string ErrorName(int code) const;

  static Frame BuildRequest(std::uint8_t command, std::initializer_list<std::uint8_t> params = {});
  static Frame BuildFiveByteRequest(std::uint8_t command, std::uint8_t p1, std::uint8_t p2, std::uint16_t w);
  // Whether BuildTransferRequest takes these data bytes for the space: at
  // most a block, and no more than the space's maximum block.
  bool TransferRequestAllowed(const std::uint8_t* data, std::uint32_t n, int spaceIndex) const;
  Frame BuildTransferRequest(std::uint8_t command, std::uint8_t operation, std::uint8_t module,
                             std::uint8_t descriptor, std::uint32_t address, const std::uint8_t* data,
                             std::uint32_t n, int spaceIndex) const;
  static Frame BuildStartFlashRequest(std::uint8_t module, std::uint8_t descriptor, std::uint32_t loadAddress,
                                      std::uint32_t spaceSize);
  static Frame BuildAuthorization();
  static Frame BuildRawRequest(const std::uint8_t* bytes, std::uint8_t n);

  // An empty frame is never written.
  void WriteFrame(const Frame& frame);
  // Sets the receive mode, emptying the buffers, and writes the request;
  // with authorization, the authorization frame and its pause come first.
  // False when the request could not be built: nothing was written then.
  bool SendRequest(const Frame& request, bool withAuthorization = false, int mode = kModeFrame);

  bool StartFlash(std::uint8_t module, std::uint32_t loadAddress, int spaceIndex);
  bool EndFlash(std::uint8_t module);

 private:
  bool FlashEcho(const Frame& request, std::uint8_t echo);

  ILinkHost* host_ = nullptr;
  IFrameTrace* trace_ = nullptr;
};
