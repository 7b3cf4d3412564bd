#include "app/MainFrame.h"

#include <cctype>
#include <cstdlib>

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "resources/Strings.h"

namespace {

constexpr int kPollMs = 10;
constexpr std::uint8_t kStartCommCommand = 0xA0;

// Writes go nowhere once the port object is gone (after the close request).
class CNullSink final : public IByteSink {
 public:
  bool WriteByte(std::uint8_t) override { return false; }
};

CNullSink& NullSink() {
  static CNullSink sink;
  return sink;
}

// Leading blanks, an optional sign, decimal digits; the rest is ignored and
// no digits give 0. Saturates instead of overflowing on absurd inputs.
long LeadingInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    if (value < 100000000L) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

int ParityCode(const std::string& text) {
  if (text.empty()) return 0;
  switch (std::toupper(static_cast<unsigned char>(text[0]))) {
    case 'E':
      return 2;
    case 'M':
      return 4;
    case 'O':
      return 1;
    case 'S':
      return 3;
    default:
      return 0;
  }
}

}  // namespace

CMainFrame::CMainFrame(CLoaderApp& app, IView& view) : app_(app), view_(view) {
  transcript_.SetListener([this](const CTranscript& transcript, const TranscriptChange& change) {
    view_.TranscriptChanged(transcript, change);
  });
}

CMainFrame::~CMainFrame() {
  // The pump must not hand bytes to a window that is gone, and a stop that
  // waits must neither pump nor show a box on a view that is going.
  if (CSerialPort* port = app_.Port()) {
    port->SetOwner(nullptr);
    port->Close();
    port->SetReceiver(nullptr);
  }
  if (app_.MainWindow() == this) app_.Link().SetHost(nullptr);
}

int CMainFrame::Create() {
  SetReceiveMode(kModeIdle, true);
  if (!OpenConfiguredPort()) MessageBox(Text(kStrPortOpenFailed));
  return 0;
}

bool CMainFrame::OpenConfiguredPort() {
  CSerialPort* port = app_.Port();
  if (!port) return false;
  const SerialSettingsTexts& s = port->settings;
  return port->Open(static_cast<int>(LeadingInteger(s.port)),
                    static_cast<std::uint32_t>(LeadingInteger(s.baud)),
                    static_cast<int>(LeadingInteger(s.dataBits)),
                    static_cast<int>(LeadingInteger(s.stopBits)), ParityCode(s.parity));
}

void CMainFrame::ReopenLostPort() {
  CSerialPort* port = app_.Port();
  if (port && port->DeviceLost()) OpenConfiguredPort();
}

bool CMainFrame::LineLost() {
  CSerialPort* port = app_.Port();
  return port != nullptr && port->DeviceLost();
}

void CMainFrame::FirstPaint(int pixelsPerInch) {
  if (!firstPaint_) return;
  firstPaint_ = 0;
  pixelsPerInch_ = pixelsPerInch;
  SetStatusColour(StatusColour::Ok);
  view_.ShowStartupNotice();
  if (!app_.commandLineFileName.empty()) {
    LoadFromCommandLine();
    OnProgramUps();
  }
  conn_.idle = 1;
}

bool CMainFrame::OnCloseRequest() {
  if (conn_.idle == 0) return false;
  if (CSerialPort* port = app_.Port()) {
    Link().SendOneByteRequest(true, kStartCommCommand);
    port->Close();
    port->SetReceiver(nullptr);
    port->SetOwner(nullptr);
    app_.DeletePort();
  }
  closed_ = true;
  return true;
}

bool CMainFrame::IsCommandEnabled(int commandId) const {
  const bool imageOpen = !rom_.romFileName.empty();
  switch (commandId) {
    case kCmdOpen:
    case kCmdSelectSubmodule:
      return !imageOpen;
    case kCmdClose:
      return imageOpen && operation_ == 0;
    case kCmdConnect:
      return conn_.connectBusy == 0;
    case kCmdProgram:
      return imageOpen && rom_.romDataSize != 0 && operation_ == 0;
    case kCmdVerify:
      return imageOpen;
    case kCmdConfiguration:
    case kCmdExit:
    case kCmdViewToolbar:
    case kCmdViewStatusBar:
    case kCmdViewFrameTrace:
    case kCmdAbout:
      return true;
    default:
      return false;
  }
}

void CMainFrame::RunCommand(int commandId) {
  switch (commandId) {
    case kCmdOpen:
      OnOpen();
      break;
    case kCmdClose:
      CloseImage();
      break;
    case kCmdConfiguration:
      OnConfiguration();
      break;
    case kCmdConnect:
      OnConnect();
      break;
    case kCmdSelectSubmodule:
      OnSelectSubmodule();
      break;
    case kCmdProgram:
      OnProgramUps();
      break;
    case kCmdVerify:
      OnVerifyProgram();
      break;
    case kCmdExit:
      OnCloseRequest();
      break;
    case kCmdAbout:
      app_.OnAbout(view_);
      break;
    default:
      // The bar toggles belong to the front end.
      break;
  }
}

void CMainFrame::AppendText(const std::string& text) {
  transcript_.AppendText(text);
  ScrollToEnd();
}

void CMainFrame::ShowText(const std::string& text) {
  transcript_.SetText(text);
}

void CMainFrame::InsertAtEnd(const std::string& text) {
  transcript_.AppendAtCaret(text);
}

void CMainFrame::ReplaceLastLine(const std::string& text) {
  transcript_.ReplaceLastLine(text);
}

void CMainFrame::TrimLog() {
  transcript_.TrimLog(view_.HasActiveWindow());
}

void CMainFrame::ScrollToEnd() {
  view_.ScrollToEnd();
}

void CMainFrame::SetStatusColour(StatusColour colour) {
  view_.SetStatusColour(colour);
}

void CMainFrame::ReceiveBytes(const std::uint8_t* bytes, std::uint32_t count) {
  rx_.ReceiveBytes(bytes, count);
}

void CMainFrame::SetReceiveMode(int mode, bool reset) {
  rx_.SetReceiveMode(mode, reset);
}

void CMainFrame::PumpPendingMessages() {
  view_.PumpPendingMessages();
}

void CMainFrame::ShowPortMessage(const std::string& text) {
  MessageBox(text);
}

IByteSink& CMainFrame::Sink() {
  CSerialPort* port = app_.Port();
  if (port) return *port;
  return NullSink();
}

IClock& CMainFrame::Clock() {
  return app_.Clock();
}

bool CMainFrame::WaitReply(int mode, int polls) {
  auto changed = [this, mode] { return rx_.ReceiveMode() != mode; };
  // A vanished device will never answer: give up at once rather than run
  // every time-out and retry of the command to its end.
  for (int i = 0; i < polls && !changed() && !view_.InterruptRequested() && !LineLost(); ++i) {
    Clock().WaitFor(kPollMs, rx_.ModeChanged(), changed);
    PumpPendingMessages();
  }
  return changed();
}

const FlashSpace& CMainFrame::Space(int index) const {
  static const FlashSpace kNone;
  if (index < 0 || index >= CConnectionState::kFlashSpaceEntries) return kNone;
  return conn_.spaces[static_cast<std::size_t>(index)];
}

void CMainFrame::MessageBox(const std::string& text) {
  view_.MessageBox(text);
}

void CMainFrame::SetWaitCursor(bool on) {
  view_.SetWaitCursor(on);
}

void CMainFrame::TransferProgress(bool verifying, std::uint32_t done, std::uint32_t total) {
  view_.TransferProgress(verifying ? TransferKind::Verifying : TransferKind::Programming, done, total);
}

CUpsLink& CMainFrame::Link() {
  return app_.Link();
}

CSerialPort* CMainFrame::Port() {
  return app_.Port();
}
