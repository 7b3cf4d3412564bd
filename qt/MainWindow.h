#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QToolBar>
#include <array>
#include <cstdint>
#include <map>

#include "app/MainFrame.h"
#include "app/View.h"
#include "frontend/WindowController.h"
#include "qt/LockKeys.h"
#include "qt/LogView.h"

class CLoaderApp;
class QAction;
struct CommandEntry;

// The Qt main window: one more view over CMainFrame. It builds the bars and
// the transcript control from the shared command table, hands actions to
// the shared window controller and draws what the core and the controller
// ask for; the command flow itself stays in the core.
class CMainWindow : public QMainWindow, public IView, private IWindowChrome {
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
  CMainFrame& Frame() { return controller_.Frame(); }
  CLogView& Log() { return *log_; }
  QToolBar& ToolBar() { return *toolBar_; }
  QAction* Action(int commandId) const;
  QString MessagePaneText() const { return messagePane_->text(); }
  QProgressBar& Progress() { return *progress_; }
  // The idle update: every command's enabled state from the core's rules,
  // greyed while a command runs.
  void UpdateCommandStates() { controller_.UpdateCommandStates(); }
  // Runs a command as a click does, if its rule allows it now and no command runs.
  void Trigger(int commandId) { controller_.Trigger(commandId); }
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
  // IWindowChrome
  void ShowMessageBox(const std::string& text) override;
  void EnableCommand(int commandId, bool enabled) override;
  void ShowProgress(const ProgressFigures& figures) override;
  std::optional<std::string> AskReportPath() override;

  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  QAction* MakeAction(const CommandEntry& entry);
  void ToggleFrameTrace(bool on);
  // The CAP, NUM and SCRL panes show their text while their key is on.
  void RefreshLockPanes();

  static constexpr std::array<const char*, 3> kLockIndicators = {"CAP", "NUM", "SCRL"};
  static constexpr const char* kRomDefaultExtension = "ROM";

  CLoaderApp& app_;
  CLogView* log_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QLabel* messagePane_ = nullptr;
  QProgressBar* progress_ = nullptr;
  std::array<QLabel*, 3> lockPanes_{};
  LockKeyStates locks_;
  std::map<int, QAction*> actions_;
  bool waitCursor_ = false;
  bool created_ = false;
  bool firstPaintScheduled_ = false;
  bool destroying_ = false;
  // Last, so first to go: the frame it owns may still pump messages and
  // show boxes on its way out, and the members above must outlive that.
  CWindowController controller_;
};
