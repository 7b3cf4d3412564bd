#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "connection/ConnectionState.h"
#include "protocol/ByteSink.h"
#include "protocol/Clock.h"
#include "protocol/FrameTrace.h"
#include "protocol/ReceiveState.h"

// A request frame; empty means no frame could be had.
using Frame = std::vector<std::uint8_t>;

// What the link object needs from the main window it works for.
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
  // The transfers' user interface.
  virtual void MessageBox(const std::string& text) = 0;
  virtual void ReplaceLastLine(const std::string& text) = 0;
  virtual void ScrollToEnd() = 0;
  virtual void SetWaitCursor(bool on) = 0;
  virtual void TransferProgress(bool verifying, std::uint32_t done, std::uint32_t total) = 0;
};

// Decode errors.
enum DecodeError : std::uint8_t {
  kDecodeOk = 0,
  kDecodeNoStart = 1,
  kDecodeEndsAfterBlock = 2,
  kDecodeBadLength = 3,
  kDecodeOutOfSequence = 4,
  kDecodeChecksum = 5,
  kDecodeDoesNotFit = 6,
};

// The link object: decoder, request builders and senders, and the
// programming and verification transfers.
class CUpsLink {
 public:
  static constexpr int kMaxFrameData = 140;
  static constexpr int kMaxTransferBlock = 128;

  CUpsLink() = default;
  virtual ~CUpsLink() = default;
  void SetHost(ILinkHost* host) { host_ = host; }
  // Sees every frame written; nullptr for none.
  void SetTrace(IFrameTrace* trace) { trace_ = trace; }

  // Decoder.
  bool DecodeFrames(const std::uint8_t* source, std::uint16_t sourceLength, std::uint8_t* output,
                    std::uint16_t capacity, std::uint16_t& dataCount, std::uint8_t& errorCode,
                    std::uint8_t& blockByte) const;
  std::string ErrorName(int code) const;

  // Builders.
  static Frame BuildOneByteRequest(std::uint8_t command);
  static Frame BuildTwoByteRequest(std::uint8_t command, std::uint8_t p1);
  static Frame BuildThreeByteRequest(std::uint8_t command, std::uint8_t p1, std::uint8_t p2);
  static Frame BuildFourByteRequest(std::uint8_t command, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);
  static Frame BuildFiveByteRequest(std::uint8_t command, std::uint8_t p1, std::uint8_t p2, std::uint16_t w);
  Frame BuildTransferRequest(std::uint8_t command, std::uint8_t operation, std::uint8_t module,
                             std::uint8_t descriptor, std::uint32_t address, const std::uint8_t* data,
                             std::uint32_t n, int spaceIndex) const;
  static Frame BuildStartFlashRequest(std::uint8_t module, std::uint8_t descriptor, std::uint32_t loadAddress,
                                      std::uint32_t spaceSize);
  static Frame BuildAuthorization();
  static Frame BuildRawRequest(const std::uint8_t* bytes, std::uint8_t n);

  // Writers and senders.
  void WriteFrame(const Frame& frame);
  int SendAuthorization();
  int SendRawRequest(const std::uint8_t* bytes, std::uint8_t n);
  void SendOneByteRequest(bool withAuthorization, std::uint8_t command);
  void SendThreeByteRequest(bool withAuthorization, std::uint8_t command, std::uint8_t p1, std::uint8_t p2);

  // Start and end of flashing.
  bool StartFlash(std::uint8_t module, std::uint32_t loadAddress, int spaceIndex);
  bool EndFlash(std::uint8_t module);

  // Transfers (flash/).
  bool ProgramImage(const std::uint8_t* image, std::uint32_t length, std::uint8_t module,
                    std::uint32_t loadAddress, int spaceIndex);
  bool VerifyImage(const std::uint8_t* image, std::uint32_t length, std::uint8_t module,
                   std::uint32_t loadAddress, int spaceIndex);

 private:
  bool FlashEcho(const Frame& request, std::uint8_t echo);

  ILinkHost* host_ = nullptr;
  IFrameTrace* trace_ = nullptr;
};
