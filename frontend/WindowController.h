#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/View.h"
#include "frontend/ProgressModel.h"
#include "frontend/RunCause.h"
#include "frontend/RunReport.h"
#include "protocol/FrameTraceWriter.h"

class CLoaderApp;
class CMainFrame;

// What a window draws when its controller asks; all else it shows reaches
// it as the core's view (IView).
class IWindowChrome {
 public:
  virtual ~IWindowChrome() = default;
  virtual void ShowMessageBox(const std::string& text) = 0;
  // The command's menu item and toolbar button alike.
  virtual void EnableCommand(int commandId, bool enabled) = 0;
  virtual void ShowProgress(const ProgressFigures& figures) = 0;
  // Where File > Save Report... writes; nothing when the user cancels.
  virtual std::optional<std::string> AskReportPath() = 0;
};

// What both windows do alike over the frame: the guard that keeps a command
// from starting while another runs (a second one would take over the line,
// or stall the first one's polls behind its dialog) and shows it by greying
// what it would drop; the port named when it did not open; the cause of a
// failure said before its boxes; the frame trace, the report of the last
// run and the progress figures.
class CWindowController {
 public:
  CWindowController(CLoaderApp& app, IView& view, IWindowChrome& chrome);
  ~CWindowController();
  CWindowController(const CWindowController&) = delete;
  CWindowController& operator=(const CWindowController&) = delete;

  CMainFrame& Frame() { return *frame_; }
  bool Busy() const { return depth_ > 0; }

  // The frame's creation, which opens the port; one that did not open is
  // then named in the transcript with the system's reason, as a failed step.
  int CreateFrame();
  // The first paint's steps, under the guard.
  void FirstPaint();
  // Runs a command as a click does: if its rule allows it and none runs.
  void Trigger(int commandId);
  // A file dropped on the window, opened as Open would open it.
  void OpenDroppedFile(const std::string& path);
  // Every command's enabled state: the frame's rules, and greyed while a
  // command runs if the guard would drop it.
  void UpdateCommandStates();
  bool CloseAllowed();

  // Traces to path ("-" for stderr); false, after a message box, when the
  // file cannot be written.
  bool StartFrameTrace(const std::string& path);
  void StopFrameTrace();
  bool FrameTraceOn() const { return trace_.IsOpen(); }

  bool CanSaveReport() const { return !Busy() && report_.HasSteps(); }
  void SaveReport();
  void RouteChosen(const std::string& text) { report_.SetRoute(text); }

  // From the window's view.
  void MessageBox(const std::string& text);
  void TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total);
  // Each wait's poll: a device lost meanwhile is said at once.
  void Polled() { SayNewCauses(); }

 private:
  void RunGuarded(const std::function<void()>& work);
  void SayNewCauses();
  void NotePortFailure();

  CLoaderApp& app_;
  IView& view_;
  IWindowChrome& chrome_;
  CFrameTraceWriter trace_;
  CRunReport report_;
  CProgressModel progress_;
  CRunCause causes_;
  std::unique_ptr<CMainFrame> frame_;
  int reportStatus_ = 0;  // the exit status tobrane-cli would give the reported command
  int depth_ = 0;
  bool closing_ = false;
};
