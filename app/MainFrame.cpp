#include "app/MainFrame.h"

#include "app/CommandIds.h"
#include "app/ConfigurationCommand.h"
#include "app/LoaderApp.h"
#include "app/RefusedSetting.h"
#include "resources/Strings.h"

CMainFrame::CMainFrame(CLoaderApp& app, IView& view)
    : app_(app),
      view_(view),
      linkHost_(app, rx_, conn_, view),
      context_{app.Link(), linkHost_, host_, conn_, app.options, app.modelTable},
      connect_(context_, [&app] { return app.Port(); }),
      image_(context_, rom_),
      flash_(context_, image_, rom_),
      submodule_(context_, connect_, image_, rom_) {
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
    view_.MessageBox(Text(kStrPortOpenFailed));
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

void CMainFrame::FirstPaint() {
  if (!firstPaint_) return;
  firstPaint_ = 0;
  // A port that did not open at creation stays a failed step.
  const CSerialPort* port = app_.Port();
  view_.SetStatusColour(port != nullptr && !port->IsOpen() ? StatusColour::Failure : StatusColour::Ok);
  view_.ShowStartupNotice();
  if (!app_.commandLineFileName.empty()) {
    image_.LoadFromCommandLine(app_.commandLineFileName);
    flash_.OnProgramUps();
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
      return imageOpen && rom_.operation == 0;
    case kCmdConnect:
      return conn_.connectBusy == 0;
    case kCmdProgram:
      return imageOpen && rom_.romDataSize != 0 && rom_.operation == 0;
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
      image_.OnOpen();
      break;
    case kCmdClose:
      image_.CloseImage();
      break;
    case kCmdConfiguration:
      OnConfiguration(app_, view_);
      break;
    case kCmdConnect:
      OnConnect();
      break;
    case kCmdSelectSubmodule:
      submodule_.OnSelectSubmodule();
      break;
    case kCmdProgram:
      flash_.OnProgramUps();
      break;
    case kCmdVerify:
      flash_.OnVerifyProgram();
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

void CMainFrame::OnConnect() {
  if (!Port()) return;
  // The adapter may have been plugged back in since it vanished; without
  // opening it again no Connect could ever reach the UPS. While it is still
  // away the sequence fails at once, as it would on a dead line (a failed
  // open leaves it lost).
  if (linkHost_.LineLost()) OpenConfiguredPort();
  connect_.Run();
}
