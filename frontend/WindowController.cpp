#include "frontend/WindowController.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "frontend/CommandOutcome.h"
#include "frontend/CommandTable.h"
#include "frontend/PlatformPort.h"
#include "resources/Strings.h"
#include "seams/Utf8Path.h"

namespace {

// The port's explanation as transcript lines: the details indented.
std::string TranscriptLines(const std::string& text) {
  std::string lines;
  for (char c : text) lines += c == '\n' ? std::string("\r\n\t") : std::string(1, c);
  return lines + "\r\n";
}

}  // namespace

CWindowController::CWindowController(CLoaderApp& app, IView& view, IWindowChrome& chrome)
    : app_(app),
      view_(view),
      chrome_(chrome),
      trace_(app.Clock()),
      progress_(app.Clock()),
      causes_([&app] { return app.Port(); }, nullptr),
      frame_(std::make_unique<CMainFrame>(app, view)) {}

CWindowController::~CWindowController() {
  // The frame closes a port still open, which pumps messages and may show a
  // message box; a window on its way out takes neither.
  closing_ = true;
  StopFrameTrace();
  frame_.reset();
}

int CWindowController::CreateFrame() {
  const int result = frame_->Create();
  NotePortFailure();
  return result;
}

void CWindowController::NotePortFailure() {
  CSerialPort* port = app_.Port();
  if (port == nullptr || port->IsOpen()) return;
  frame_->AppendText(
      TranscriptLines(ExplainPortError(port->DevicePath(), port->LastError(), port->LastErrorDetail())));
  view_.SetStatusColour(StatusColour::Failure);
}

void CWindowController::FirstPaint() {
  RunGuarded([this] { frame_->FirstPaint(); });
}

void CWindowController::Trigger(int commandId) {
  if (Busy() || !frame_->IsCommandEnabled(commandId)) return;
  RunGuarded([this, commandId] {
    if (const std::optional<int> status = RunReportedCommand(*frame_, commandId, report_))
      reportStatus_ = *status;
  });
}

void CWindowController::OpenDroppedFile(const std::string& path) {
  if (Busy() || !frame_->IsCommandEnabled(kCmdOpen)) return;
  RunGuarded([this, &path] { frame_->OpenNamedFile(path); });
}

void CWindowController::RunGuarded(const std::function<void()>& work) {
  if (depth_++ == 0) {
    chrome_.ShowProgress(progress_.CommandStarted());
    UpdateCommandStates();
  }
  work();
  if (--depth_ > 0) return;
  SayNewCauses();
  chrome_.ShowProgress(progress_.CommandEnded());
  UpdateCommandStates();
}

void CWindowController::UpdateCommandStates() {
  for (const MenuEntry& menu : MenuBarCommands()) {
    for (const CommandEntry& entry : menu.items) {
      if (entry.id == 0) continue;
      // The report is the window's own, not the core's: there once a command filled it.
      const bool enabled = entry.id == kCmdSaveReport ? CanSaveReport()
                                                      : !(Busy() && DroppedWhileBusy(entry.id)) &&
                                                            frame_->IsCommandEnabled(entry.id);
      chrome_.EnableCommand(entry.id, enabled);
    }
  }
}

bool CWindowController::CloseAllowed() {
  return !Busy() && frame_->OnCloseRequest();
}

bool CWindowController::StartFrameTrace(const std::string& path) {
  if (!trace_.Open(path)) {
    MessageBox(Format(kStrCliTraceCannotOpen, {path, std::strerror(errno)}));
    return false;
  }
  app_.SetFrameTrace(&trace_);
  return true;
}

void CWindowController::StopFrameTrace() {
  app_.SetFrameTrace(nullptr);
  trace_.Close();
}

void CWindowController::SaveReport() {
  if (!CanSaveReport()) return;
  const std::optional<std::string> path = chrome_.AskReportPath();
  if (!path) return;
  std::ofstream file(Utf8Path(*path), std::ios::trunc);
  if (!file || !WriteRunReport(file, report_.Document("tobrane-loader " TOBRANE_VERSION, reportStatus_)))
    MessageBox(Format(kStrCliReportCannotOpen, {*path, std::strerror(errno)}));
}

void CWindowController::MessageBox(const std::string& text) {
  if (closing_) return;
  SayNewCauses();
  report_.MessageBox(text);
  chrome_.ShowMessageBox(text);
}

// Said in a box of its own, before the boxes that follow from it, so that
// those do not read as the UPS's doing.
void CWindowController::SayNewCauses() {
  if (closing_) return;
  for (const std::string& cause : causes_.TakeNew()) chrome_.ShowMessageBox(cause);
}

void CWindowController::TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) {
  report_.TransferProgress(kind, done, total);
  chrome_.ShowProgress(progress_.Update(kind, done, total));
}
