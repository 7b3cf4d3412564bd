#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QToolBar>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "app/MainFrame.h"
#include "app/View.h"
#include "frontend/ProgressModel.h"
#include "frontend/RunReport.h"
#include "protocol/FrameTraceWriter.h"
#include "qt/LockKeys.h"
#include "qt/LogView.h"

class CLoaderApp;
class QAction;

// The Qt main window: one more view over CMainFrame. It builds the bars and
// the transcript control, turns actions into CMainFrame commands and shows
// what the core asks for; the command flow itself stays in the core.
class CMainWindow : public QMainWindow, public IView {
  Q_OBJECT
 public:
  // Hidden: tests that drive the window without painting it.
  enum class Showing { Hidden, ShownFirst };

  explicit CMainWindow(CLoaderApp& app);
  ~CMainWindow() override;

  // Window creation: the bars and the transcript control, the window shown
  // (ShownFirst), then CMainFrame::Create, which opens the port and may say
  // "Port Open FAILED" over the window. The first paint's steps wait for it.
  int Create(Showing showing = Showing::Hidden);
  CMainFrame& Frame() { return *frame_; }
  CLogView& Log() { return *log_; }
  QToolBar& ToolBar() { return *toolBar_; }
  QAction* Action(int commandId) const;
  QString MessagePaneText() const { return messagePane_->text(); }
  QProgressBar& Progress() { return *progress_; }
  // The idle update: every command's enabled state from the core's rules,
  // greyed while a command runs.
  void UpdateCommandStates();
  // Runs a command as a click does, if its rule allows it now and no command runs.
  void Trigger(int commandId);
  // Traces to path ("-" for stderr) and ticks View > Frame Trace; false,
  // after a message box, when the file cannot be written.
  bool StartFrameTrace(const std::string& path);

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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  QAction* MakeAction(int id, const char* menuText, const char* prompt, const char* icon);
  void RunFirstPaint();
  void ToggleFrameTrace(bool on);
  void StopFrameTrace();
  void RunFrameCommand(const std::function<void()>& command);
  void RunReported(int commandId);
  void ShowProgress(const ProgressFigures& figures);
  void SaveReport();
  // The CAP, NUM and SCRL panes show their text while their key is on.
  void RefreshLockPanes();

  static constexpr std::array<const char*, 3> kLockIndicators = {"CAP", "NUM", "SCRL"};
  static constexpr const char* kRomDefaultExtension = "ROM";

  CLoaderApp& app_;
  std::unique_ptr<CMainFrame> frame_;
  CFrameTraceWriter trace_;
  CLogView* log_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QLabel* messagePane_ = nullptr;
  QProgressBar* progress_ = nullptr;
  std::array<QLabel*, 3> lockPanes_{};
  LockKeyStates locks_;
  CProgressModel progressModel_;
  std::map<int, QAction*> actions_;
  CRunReport report_;
  int reportStatus_ = 0;  // the exit status tobrane-cli would give the reported command
  int commandDepth_ = 0;
  bool waitCursor_ = false;
  bool created_ = false;
  bool firstPaintScheduled_ = false;
  bool destroying_ = false;
};
