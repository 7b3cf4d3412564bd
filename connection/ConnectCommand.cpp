#include "connection/ConnectCommand.h"

#include "resources/Strings.h"
#include "serial/SerialPort.h"

namespace {

constexpr int kProbePolls = 50;
constexpr std::uint32_t kProbeSpeeds[] = {19200, 9600};
constexpr std::uint32_t kLastResortSpeed = 2400;
// Entries 0 to 7 decide whether the UPS can be upgraded at all.
constexpr int kUpgradeCheckEntries = 8;

}  // namespace

void CConnectCommand::FallBackToFixedSpeeds() {
  host.SetStatusColour(StatusColour::Ok);
  std::string copy = Text(kStrPnpUnable);
  host.ShowText(copy);
  CSerialPort& port = *port_();
  std::uint8_t previousBits = 0;
  std::uint32_t previousBaud = 0;
  port.SetDataBits(kFrameDataBits, previousBits);
  for (std::uint32_t speed : kProbeSpeeds) {
    copy += Format(kStrSwitchingBaud, {speed});
    host.ShowText(copy);
    port.SetBaudRate(speed, previousBaud);
    std::string beforeAttempt;
    if (StartComm(kProbePolls, beforeAttempt)) return;
  }
  copy += Format(kStrSwitchingBaud, {kLastResortSpeed});
  host.ShowText(copy);
  port.SetBaudRate(kLastResortSpeed, previousBaud);
}

void CConnectCommand::Run() {
  host.SetWaitCursor(true);
  host.SetStatusColour(StatusColour::Ok);
  const std::string copy = host.TranscriptText();
  conn.connected = 0;
  conn.idle = 0;
  conn.connectBusy = 1;
  host.SetStatusText(Text(kStrConnectAttempt));
  host.ShowText(copy + Text(kStrConnectAttempt));
  if (!PlugAndPlayStep()) FallBackToFixedSpeeds();
  if (!IdentificationStep()) {
    host.MessageBox(Text(kStrUnableToCommunicate));
    conn.connected = 0;
  } else {
    conn.connected = 1;
    if (ServiceModeStep()) {
      // The table describes the UPS now on the line. Appended after the spaces of
      // earlier Connects it would fill up, and a later module's spaces find no room.
      conn.spaces = {};
      conn.spaceCount = 1;
      FlashCapabilitiesStep();
    }
    int readWrite = 0;
    for (int i = 0; i < kUpgradeCheckEntries; ++i)
      readWrite += conn.spaces[static_cast<std::size_t>(i)].spaceReadWrite;
    if (readWrite == 0) host.MessageBox(Text(kStrNoFlashCapability));
  }
  conn.connectBusy = 0;
  host.SetWaitCursor(false);
  conn.idle = 1;
}
