#include "app/MainFrame.h"
#include "resources/Strings.h"

namespace {

constexpr int kProbePolls = 50;
constexpr std::uint32_t kProbeSpeeds[] = {19200, 9600};
constexpr std::uint32_t kLastResortSpeed = 2400;
// Entries 0 to 7 decide whether the UPS can be upgraded at all.
constexpr int kUpgradeCheckEntries = 8;

}  // namespace

int CMainFrame::StartCommProbe() {
  std::string copy;
  return StartComm(kProbePolls, copy) ? 1 : 0;
}

// No Plug-and-Play string: try the fixed speeds, fastest first.
void CMainFrame::FallBackToFixedSpeeds() {
  view_.SetStatusColour(StatusColour::Ok);
  std::string copy = Text(kStrPnpUnable);
  ShowText(copy);
  CSerialPort& port = *Port();
  std::uint8_t previousBits = 0;
  std::uint32_t previousBaud = 0;
  port.SetDataBits(kFrameDataBits, previousBits);
  for (std::uint32_t speed : kProbeSpeeds) {
    copy += Format(kStrSwitchingBaud, {speed});
    ShowText(copy);
    port.SetBaudRate(speed, previousBaud);
    if (StartCommProbe()) return;
  }
  copy += Format(kStrSwitchingBaud, {kLastResortSpeed});
  ShowText(copy);
  port.SetBaudRate(kLastResortSpeed, previousBaud);
}

void CMainFrame::OnConnect() {
  if (!Port()) return;
  // The adapter may have been plugged back in since it vanished; without
  // opening it again no Connect could ever reach the UPS. While it is still
  // away the sequence fails at once, as it would on a dead line (a failed
  // open leaves it lost).
  if (LineLost()) OpenConfiguredPort();
  SetWaitCursor(true);
  view_.SetStatusColour(StatusColour::Ok);
  const std::string copy = TranscriptText();
  conn_.connected = 0;
  conn_.idle = 0;
  conn_.connectBusy = 1;
  view_.SetStatusText(Text(kStrConnectAttempt));
  ShowText(copy + Text(kStrConnectAttempt));
  if (!PlugAndPlayStep()) FallBackToFixedSpeeds();
  if (!IdentificationStep()) {
    MessageBox(Text(kStrUnableToCommunicate));
    conn_.connected = 0;
  } else {
    conn_.connected = 1;
    if (ServiceModeStep()) {
      // The table describes the UPS now on the line. Appended after the spaces of
      // earlier Connects it would fill up, and a later module's spaces find no room.
      conn_.spaces = {};
      conn_.spaceCount = 1;
      FlashCapabilitiesStep();
    }
    int readWrite = 0;
    for (int i = 0; i < kUpgradeCheckEntries; ++i)
      readWrite += conn_.spaces[static_cast<std::size_t>(i)].spaceReadWrite;
    if (readWrite == 0) MessageBox(Text(kStrNoFlashCapability));
  }
  conn_.connectBusy = 0;
  SetWaitCursor(false);
  conn_.idle = 1;
}
