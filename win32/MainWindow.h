#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/MainFrame.h"
#include "app/View.h"
#include "frontend/ProgressModel.h"
#include "frontend/RunReport.h"
#include "protocol/FrameTraceWriter.h"
#include "win32/CommandBars.h"
#include "win32/LogView.h"
#include "win32/ObjectWindow.h"
#include "win32/TaskbarProgress.h"
#include "win32/ToolDock.h"
#include "win32/Win32Api.h"

class CLoaderApp;

// The Win32 main window: one more view over CMainFrame. It builds the bars
// and the transcript control from the resources, turns menu, accelerator
// and toolbar commands into CMainFrame commands and shows what the core asks
// for; the command flow itself stays in the core.
class CWinMainWindow final : public IView, private CWinObjectWindow {
 public:
  CWinMainWindow(CLoaderApp& app, HINSTANCE instance);
  ~CWinMainWindow() override;
  CWinMainWindow(const CWinMainWindow&) = delete;
  CWinMainWindow& operator=(const CWinMainWindow&) = delete;

  // Window creation: the frame, the bars and the transcript control, the
  // window shown, then CMainFrame::Create, which opens the port and may say
  // "Port Open FAILED" over it. False when a part cannot be made.
  bool Create(int showCommand);
  CMainFrame& Frame() { return *frame_; }
  // Traces to path ("-" for stderr) and ticks View > Frame Trace; false,
  // after saying why in a message box, when the file cannot be written.
  bool StartFrameTrace(const std::string& path);
  // The message loop, with the idle update; returns the exit code.
  int Run();

  // IView
  void TranscriptChanged(const CTranscript& transcript, const TranscriptChange& change) override;
  void ScrollToEnd() override;
  void SetStatusColour(StatusColour colour) override;
  void MessageBox(const std::string& text) override;
  void SetTitle(const std::string& title) override;
  void SetStatusText(const std::string& text) override;
  void EnableToolbarButton(int commandId, bool enabled) override;
  void SetWaitCursor(bool on) override;
  void PumpPendingMessages() override;
  bool HasActiveWindow() override;
  void TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) override;
  std::optional<std::string> AskRomFile() override;
  std::optional<std::string> AskSubmoduleText() override;
  std::optional<ConfigChoice> AskConfiguration(const ConfigChoice& initial) override;
  void ShowStartupNotice() override;
  void ShowAbout() override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool CreateChildren();
  void Layout();
  void Redock();
  void Dispatch(MSG& msg);
  void OnIdle();
  void UpdateCommandStates();
  void OnCommand(int commandId);
  // Runs a command as a click does, if its rule allows it now and no command runs.
  void Trigger(int commandId);
  void RunFrameCommand(const std::function<void()>& command);
  void RunFirstPaint();
  void ShowProgress(const ProgressFigures& figures);
  bool OnClose();
  void ToggleBar(HWND bar, int commandId);
  void ToggleFrameTrace();
  void SaveReport();
  void ShowPrompt(int commandId);
  LRESULT OnNotify(const NMHDR& header);

  CLoaderApp& app_;
  HINSTANCE instance_;
  std::unique_ptr<CMainFrame> frame_;
  CFrameTraceWriter trace_;
  HACCEL accelerators_ = nullptr;
  CWinToolDock toolDock_;
  CWinStatusBar statusBar_;
  CWinLogView log_;
  CProgressModel progressModel_;
  CWinTaskbarProgress taskbar_;
  CRunReport report_;
  int reportStatus_ = 0;  // the exit status tobrane-cli would give the reported command
  std::wstring tooltip_;
  int commandDepth_ = 0;
  bool waitCursor_ = false;
  bool created_ = false;
  bool firstPaintScheduled_ = false;
  // The screen's, from the first paint on; 1 before it.
  int pixelsPerInch_ = 1;
  bool destroying_ = false;
};
