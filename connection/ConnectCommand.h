#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "connection/ConnectionState.h"
#include "connection/LoaderOptions.h"
#include "protocol/UpsLink.h"
#include "resources/Strings.h"
#include "seams/CommandHost.h"

class CSerialPort;

// Connect and its steps: over the port (asked for anew, as a close may take
// it) and the link, they tell the user through the host and fill in the
// connection fields.
class CConnectCommand {
 public:
  CConnectCommand(std::function<CSerialPort*()> port, CUpsLink& link, ILinkHost& linkHost, ICommandHost& host,
                  CConnectionState& conn, LoaderOptions& options, const std::string& modelTable)
      : port_(std::move(port)),
        link_(link),
        linkHost_(linkHost),
        host_(host),
        conn_(conn),
        options_(options),
        modelTable_(modelTable) {}

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
  // Waits for the reply; a time-out leaves the receive mode idle.
  bool Answered(int mode, int polls);

  std::function<CSerialPort*()> port_;
  CUpsLink& link_;
  ILinkHost& linkHost_;
  ICommandHost& host_;
  CConnectionState& conn_;
  LoaderOptions& options_;
  // The model table the type code is looked up in; the front end chooses it.
  const std::string& modelTable_;
};
