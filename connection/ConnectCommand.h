#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "connection/CommandContext.h"
#include "resources/Strings.h"

class CSerialPort;

// Connect and its steps: over the port (asked for anew, as a close may take
// it) and the link, they tell the user through the host and fill in the
// connection fields.
class CConnectCommand : private CommandContext {
 public:
  CConnectCommand(const CommandContext& context, std::function<CSerialPort*()> port)
      : CommandContext(context), port_(std::move(port)) {}

  // The sequence after the port was found (and opened again after a loss).
  void Run();
  int PlugAndPlayStep();
  int CaptureAndNegotiate(std::uint32_t requestedSpeed, int& status);
  int Negotiate(std::uint32_t requestedSpeed, int& status);
  int IdentificationStep();
  int StartupHandshake();
  int ServiceModeStep();
  int FlashCapabilitiesStep();
  void DecodeAcknowledge(const DecodedReply& reply);

 private:
  // No Plug-and-Play string: try the fixed speeds, fastest first.
  void FallBackToFixedSpeeds();
  // The start-comm request after the start-up pause, with its attempt line;
  // without a reply within `polls` the time-out line takes its place. `copy`
  // gets the transcript from before the attempt line. True when answered.
  bool StartComm(int polls, std::string& copy);
  bool RequestBlock(std::uint8_t command, std::uint8_t expectedBlock, StringId timeoutLine,
                    StringId receivedLine, DecodedReply& reply);
  void StoreIdBlock(const std::uint8_t* data);
  int StoreConfigurationBlock(const std::uint8_t* data);
  void RecordSpaces(std::string& text, const DecodedReply& reply);

  std::function<CSerialPort*()> port_;
};
