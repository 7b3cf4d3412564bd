#pragma once

#include <string>

#include "app/MainFrame.h"
#include "app/View.h"
#include "frontend/WindowController.h"
#include "win32/CommandBars.h"
#include "win32/LogView.h"
#include "win32/ObjectWindow.h"
#include "win32/TaskbarProgress.h"
#include "win32/ToolDock.h"
#include "win32/Win32Api.h"

class CLoaderApp;

// The Win32 main window: one more view over CMainFrame. It builds the menu
// and the toolbar from the shared command table, hands menu, accelerator
// and toolbar commands to the shared window controller and draws what the
// core and the controller ask for; the command flow itself stays in the core.
class CWinMainWindow final : public IView, private CWinObjectWindow, private IWindowChrome {
 public:
  CWinMainWindow(CLoaderApp& app, HINSTANCE instance);
  ~CWinMainWindow() override;
  CWinMainWindow(const CWinMainWindow&) = delete;
  CWinMainWindow& operator=(const CWinMainWindow&) = delete;

  // Window creation: the frame, the bars and the transcript control, the
  // window shown, then CMainFrame::Create, which opens the port and may say
  // "Port Open FAILED" over it. False when a part cannot be made.
  bool Create(int showCommand);
  CMainFrame& Frame() { return controller_.Frame(); }
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
  // IWindowChrome
  void ShowMessageBox(const std::string& text) override;
  void EnableCommand(int commandId, bool enabled) override;
  void ShowProgress(const ProgressFigures& figures) override;
  std::optional<std::string> AskReportPath() override;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool CreateChildren();
  void Layout();
  void Redock();
  void Dispatch(MSG& msg);
  void OnIdle();
  // The rules' enabled states and the View items' ticks.
  void UpdateCommandStates();
  void OnCommand(int commandId);
  void RunFirstPaint();
  void ToggleBar(HWND bar, int commandId);
  void ToggleFrameTrace();
  void ShowPrompt(int commandId);
  LRESULT OnNotify(const NMHDR& header);

  HINSTANCE instance_;
  HACCEL accelerators_ = nullptr;
  CWinToolDock toolDock_;
  CWinStatusBar statusBar_;
  CWinLogView log_;
  CWinTaskbarProgress taskbar_;
  std::wstring tooltip_;
  bool waitCursor_ = false;
  bool created_ = false;
  bool firstPaintScheduled_ = false;
  // The screen's, from the first paint on; 1 before it.
  int pixelsPerInch_ = 1;
  bool destroying_ = false;
  // Last, so first to go: the frame it owns may still pump messages and
  // show boxes on its way out, and the members above must outlive that.
  CWindowController controller_;
};
