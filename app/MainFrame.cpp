#include "app/MainFrame.h"

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/RefusedSetting.h"
#include "protocol/ReplyWait.h"
#include "resources/Strings.h"

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
  rx_.SetReceiveMode(kModeIdle, true);
  if (!OpenConfiguredPort()) {
    MessageBox(Text(kStrPortOpenFailed));
    NoteRefusedSetting();
  }
  return 0;
}

bool CMainFrame::OpenConfiguredPort() {
  CSerialPort* port = app_.Port();
  if (!port) return false;
  const SerialSettingsTexts& s = port->settings;
  return port->Open(port->GetPortNumber(), static_cast<std::uint32_t>(SettingsInteger(s.baud)),
                    static_cast<int>(SettingsInteger(s.dataBits)),
                    static_cast<int>(SettingsInteger(s.stopBits)), ParityCode(s.parity));
}

// The device stays open, as the window has always left it; the transcript
// says which setting it would not take.
void CMainFrame::NoteRefusedSetting() {
  CSerialPort* port = app_.Port();
  if (port == nullptr || port->RefusedSetting() == LineSetting::None) return;
  AppendText(Format(kStrPortRefusedLine, {port->DevicePath(), RefusedSettingText(*port)}));
}

bool CMainFrame::LineLost() {
  CSerialPort* port = app_.Port();
  return port != nullptr && port->DeviceLost();
}

void CMainFrame::FirstPaint() {
  if (!firstPaint_) return;
  firstPaint_ = 0;
  view_.SetStatusColour(StatusColour::Ok);
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
    Link().SendRequest(CUpsLink::BuildRequest(kStartCommCommand), true);
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
      view_.ShowAbout();
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

void CMainFrame::ReplaceLastLine(const std::string& text) {
  transcript_.ReplaceLastLine(text);
}

void CMainFrame::TrimLog() {
  transcript_.TrimLog(view_.HasActiveWindow());
}

void CMainFrame::ScrollToEnd() {
  view_.ScrollToEnd();
}

void CMainFrame::PumpPendingMessages() {
  view_.PumpPendingMessages();
}

IByteSink& CMainFrame::Sink() {
  CSerialPort* port = app_.Port();
  if (port) return *port;
  static CNullSink none;
  return none;
}

IClock& CMainFrame::Clock() {
  return app_.Clock();
}

bool CMainFrame::WaitReply(int mode, int polls) {
  // A vanished device will never answer: give up at once rather than run
  // every time-out and retry of the command to its end.
  return PollWhileMode(
      rx_, Clock(), [this] { PumpPendingMessages(); },
      [this] { return view_.InterruptRequested() || LineLost(); }, mode, polls);
}

const FlashSpace& CMainFrame::Space(int index) const {
  static const FlashSpace kNone;
  if (index < 0 || index >= kFlashSpaceEntries) return kNone;
  return conn_.spaces[static_cast<std::size_t>(index)];
}

void CMainFrame::MessageBox(const std::string& text) {
  view_.MessageBox(text);
}

void CMainFrame::PumpStopFailed() {
  MessageBox(Text(kStrFailedToStopPump));
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
