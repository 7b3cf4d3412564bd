#include "qt/MainWindow.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "frontend/CommandOutcome.h"
#include "frontend/ExitCodes.h"
#include "qt/CommandTable.h"
#include "qt/ConfigDialog.h"
#include "qt/LockKeys.h"
#include "qt/NoticeDialogs.h"
#include "qt/SubmoduleDialog.h"
#include "resources/Strings.h"
#include "seams/Utf8Path.h"

// The icons sit in this static library's resource file, which the linker
// leaves out unless a call names it; the call must be outside any namespace.
static void LoadIconResources() {
  Q_INIT_RESOURCE(resources);
}

CMainWindow::CMainWindow(CLoaderApp& app) : app_(app), trace_(app.Clock()), progressModel_(app.Clock()) {
  LoadIconResources();
  setObjectName("mainFrame");
  setWindowIcon(QIcon(kApplicationIcon));
  setAcceptDrops(true);
  // The lock keys may be pressed in any of the application's windows.
  qApp->installEventFilter(this);
  log_ = new CLogView(this);
  frame_ = std::make_unique<CMainFrame>(app_, *this);
}

CMainWindow::~CMainWindow() {
  // The frame closes a port still open, which pumps messages and may show a
  // message box; a window on its way out takes neither.
  destroying_ = true;
  StopFrameTrace();
  frame_.reset();
}

bool CMainWindow::StartFrameTrace(const std::string& path) {
  if (!trace_.Open(path)) {
    MessageBox(Format(kStrCliTraceCannotOpen, {path, std::strerror(errno)}));
    return false;
  }
  app_.SetFrameTrace(&trace_);
  if (QAction* action = Action(kCmdViewFrameTrace)) {
    const QSignalBlocker quiet(action);
    action->setChecked(true);
  }
  return true;
}

void CMainWindow::StopFrameTrace() {
  app_.SetFrameTrace(nullptr);
  trace_.Close();
}

namespace {

// "description|pattern|description|pattern||" as Qt's name filters, which take
// the patterns from the parentheses that end each one.
QStringList NameFilters(const std::string& pairs) {
  const QStringList parts = QString::fromStdString(pairs).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
    const QString description = parts[i].trimmed();
    const QString pattern = "(" + parts[i + 1] + ")";
    filters << (description.endsWith(pattern) ? description : description + " " + pattern);
  }
  return filters;
}

}  // namespace

// Ticking the item asks where the trace goes; a cancelled choice leaves it off.
void CMainWindow::ToggleFrameTrace(bool on) {
  if (!on) {
    StopFrameTrace();
    return;
  }
  QFileDialog dialog(this, Text(kStrFrameTraceTitle));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(NameFilters(Text(kStrTraceFileFilter)));
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (!chosen || !StartFrameTrace(dialog.selectedFiles().front().toStdString())) {
    const QSignalBlocker quiet(Action(kCmdViewFrameTrace));
    Action(kCmdViewFrameTrace)->setChecked(false);
  }
}

int CMainWindow::Create(Showing showing) {
  setWindowTitle(Text(kStrAppTitle));
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  setCentralWidget(log_);
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, [this] {
    if (commandDepth_ == 0) UpdateCommandStates();
  });
  if (showing == Showing::ShownFirst) show();
  const int result = frame_->Create();
  created_ = true;
  // A paint during the port's message box came too early for the first paint's steps.
  update();
  return result;
}

QAction* CMainWindow::MakeAction(int id, const char* menuText, const char* prompt, const char* icon) {
  const QStringList menu = QString(menuText).split('\t');
  const QStringList tips = QString(prompt).split('\n');
  auto* action = new QAction(menu[0], this);
  action->setData(id);
  action->setObjectName(QString::number(id));
  action->setStatusTip(tips.value(0));
  action->setToolTip(tips.value(1));
  if (menu.size() > 1) action->setShortcut(QKeySequence(menu[1]));
  if (icon) action->setIcon(QIcon(icon));
  actions_[id] = action;
  return action;
}

void CMainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(Text(kStrMenuFile));
  for (const CommandEntry& c : FileMenuCommands()) {
    if (c.id == 0) {
      file->addSeparator();
      continue;
    }
    QAction* action = MakeAction(c.id, c.menuText, c.prompt, c.icon);
    file->addAction(action);
    if (c.id == kCmdExit) {
      connect(action, &QAction::triggered, this, &QWidget::close);
    } else if (c.id == kCmdSaveReport) {
      connect(action, &QAction::triggered, this, &CMainWindow::SaveReport);
    } else {
      connect(action, &QAction::triggered, this, [this, id = c.id] { Trigger(id); });
    }
  }
  QMenu* view = menuBar()->addMenu(Text(kStrMenuView));
  for (const CommandEntry& c : ViewMenuCommands()) {
    QAction* action = MakeAction(c.id, c.menuText, c.prompt, c.icon);
    action->setCheckable(true);
    // Frame Trace is off unless --trace turned it on before the menus existed.
    action->setChecked(c.id != kCmdViewFrameTrace || trace_.IsOpen());
    view->addAction(action);
  }
  connect(Action(kCmdViewFrameTrace), &QAction::toggled, this, &CMainWindow::ToggleFrameTrace);
  QMenu* help = menuBar()->addMenu(Text(kStrMenuHelp));
  const CommandEntry& about = AboutCommand();
  QAction* aboutAction = MakeAction(about.id, about.menuText, about.prompt, about.icon);
  help->addAction(aboutAction);
  connect(aboutAction, &QAction::triggered, this, [this] { Trigger(kCmdAbout); });
  for (QMenu* menu : {file, view, help})
    connect(menu, &QMenu::aboutToShow, this, &CMainWindow::UpdateCommandStates);
}

void CMainWindow::BuildToolBar() {
  toolBar_ = new QToolBar("Toolbar", this);
  toolBar_->setObjectName("59392");
  toolBar_->setIconSize(QSize(16, 15));
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  for (int id : ToolbarCommands()) {
    if (id == 0) {
      toolBar_->addSeparator();
    } else {
      toolBar_->addAction(Action(id));
    }
  }
  addToolBar(Qt::TopToolBarArea, toolBar_);
  QAction* toggle = Action(kCmdViewToolbar);
  connect(toggle, &QAction::toggled, toolBar_, &QWidget::setVisible);
  connect(toolBar_, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("59393");
  messagePane_ = new QLabel(Text(kStrReady), bar);
  bar->addWidget(messagePane_, 1);
  // A prompt that goes (its menu closed, the pointer off its button) brings
  // back the idle text, as in the Win32 window: an older line such as
  // Connect's would read as what the window is doing now.
  connect(bar, &QStatusBar::messageChanged, this, [this](const QString& prompt) {
    if (prompt.isEmpty()) messagePane_->setText(Text(kStrReady));
  });
  progress_ = new QProgressBar(bar);
  progress_->setMaximumWidth(320);
  progress_->hide();
  bar->addPermanentWidget(progress_);
  for (std::size_t i = 0; i < kLockIndicators.size(); ++i) {
    auto* pane = new QLabel(bar);
    pane->setObjectName(kLockIndicators[i]);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Sized for its text, which shows only while the key is on.
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(kLockIndicators[i]) + 2 * pane->frameWidth() +
                          2 * pane->margin() + 4);
    bar->addPermanentWidget(pane);
    lockPanes_[i] = pane;
  }
  RefreshLockPanes();
  QAction* toggle = Action(kCmdViewStatusBar);
  connect(toggle, &QAction::toggled, bar, &QWidget::setVisible);
}

QAction* CMainWindow::Action(int commandId) const {
  auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

void CMainWindow::UpdateCommandStates() {
  // While a command runs, the guard drops every other command but the View
  // toggles: those look disabled too.
  for (auto& [id, action] : actions_)
    action->setEnabled((commandDepth_ == 0 || action->isCheckable()) && frame_->IsCommandEnabled(id));
  // The report is the window's own, not the core's: there once a command filled it.
  if (QAction* save = Action(kCmdSaveReport)) save->setEnabled(commandDepth_ == 0 && report_.HasSteps());
}

void CMainWindow::Trigger(int commandId) {
  // A click that arrives while a command pumps messages starts nothing: a
  // second command would take over the line, or stall the first one's
  // polls behind its dialog.
  if (commandDepth_ > 0 || !frame_->IsCommandEnabled(commandId)) return;
  RunFrameCommand([this, commandId] { RunReported(commandId); });
}

void CMainWindow::RunReported(int commandId) {
  if (const std::optional<int> status = RunReportedCommand(*frame_, commandId, report_))
    reportStatus_ = *status;
}

void CMainWindow::SaveReport() {
  if (commandDepth_ > 0 || !report_.HasSteps()) return;
  QFileDialog dialog(this, Text(kStrSaveReportTitle));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(NameFilters(Text(kStrReportFileFilter)));
  dialog.setDefaultSuffix("json");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = dialog.selectedFiles().front().toStdString();
  std::ofstream file(Utf8Path(path), std::ios::trunc);
  if (!file || !WriteRunReport(file, report_.Document("tobrane-loader " TOBRANE_VERSION, reportStatus_)))
    MessageBox(Format(kStrCliReportCannotOpen, {path, std::strerror(errno)}));
}

void CMainWindow::RunFrameCommand(const std::function<void()>& command) {
  if (++commandDepth_ == 1) {
    ShowProgress(progressModel_.CommandStarted());
    UpdateCommandStates();
  }
  command();
  --commandDepth_;
  if (commandDepth_ == 0) ShowProgress(progressModel_.CommandEnded());
  UpdateCommandStates();
}

void CMainWindow::paintEvent(QPaintEvent* event) {
  QMainWindow::paintEvent(event);
  // A modal dialog must not run inside the paint handler: start the steps
  // from the event loop once the first paint has happened.
  if (created_ && frame_->FirstPaintPending() && !firstPaintScheduled_) {
    firstPaintScheduled_ = true;
    QTimer::singleShot(0, this, &CMainWindow::RunFirstPaint);
  }
}

void CMainWindow::RunFirstPaint() {
  RunFrameCommand([this] { frame_->FirstPaint(); });
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  // A key event reaches a window object once, then each widget it propagates through.
  if (watched->isWindowType() && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Where the display cannot be asked, a press toggles what the panes show.
    if (type == QEvent::KeyPress && !key->isAutoRepeat()) {
      if (key->key() == Qt::Key_CapsLock) locks_.caps = !locks_.caps;
      if (key->key() == Qt::Key_NumLock) locks_.num = !locks_.num;
      if (key->key() == Qt::Key_ScrollLock) locks_.scroll = !locks_.scroll;
    }
    if (key->key() == Qt::Key_CapsLock || key->key() == Qt::Key_NumLock || key->key() == Qt::Key_ScrollLock)
      RefreshLockPanes();
  } else if (watched == this && type == QEvent::WindowActivate) {
    RefreshLockPanes();  // the keys may have changed in another window
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainWindow::RefreshLockPanes() {
  if (std::optional<LockKeyStates> asked = QueryLockKeys()) locks_ = *asked;
  const std::array<bool, 3> on = {locks_.caps, locks_.num, locks_.scroll};
  for (std::size_t i = 0; i < lockPanes_.size(); ++i) {
    if (lockPanes_[i]) lockPanes_[i]->setText(on[i] ? kLockIndicators[i] : "");
  }
}

void CMainWindow::closeEvent(QCloseEvent* event) {
  if (commandDepth_ > 0 || !frame_->OnCloseRequest()) {
    event->ignore();
    return;
  }
  event->accept();
}

namespace {

// The one local .rom file a drop carries, or an empty text.
QString DroppedRomFile(const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QString path = urls.front().toLocalFile();
  return path.endsWith(".rom", Qt::CaseInsensitive) ? path : QString();
}

}  // namespace

void CMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedRomFile(*event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainWindow::dropEvent(QDropEvent* event) {
  const QString path = DroppedRomFile(*event->mimeData());
  if (path.isEmpty() || commandDepth_ > 0 || !frame_->IsCommandEnabled(kCmdOpen)) return;
  event->acceptProposedAction();
  RunFrameCommand([this, &path] { frame_->OpenNamedFile(path.toStdString()); });
}

void CMainWindow::TranscriptChanged(const CTranscript& transcript, const TranscriptChange& change) {
  log_->Show(transcript, change);
}

void CMainWindow::ScrollToEnd() {
  log_->ScrollToEnd();
}

void CMainWindow::SetStatusColour(StatusColour colour) {
  log_->SetStatusColour(colour);
}

void CMainWindow::MessageBox(const std::string& text) {
  if (destroying_) return;
  report_.MessageBox(text);
  QMessageBox box(QMessageBox::NoIcon, Text(kStrAppTitle), QString::fromStdString(text), QMessageBox::Ok,
                  this);
  box.exec();
}

void CMainWindow::SetTitle(const std::string& title) {
  setWindowTitle(QString::fromStdString(title));
}

void CMainWindow::SetStatusText(const std::string& text) {
  messagePane_->setText(QString::fromStdString(text));
}

void CMainWindow::EnableToolbarButton(int commandId, bool enabled) {
  // A running command keeps the others grey; its end applies the rules.
  if (QAction* action = Action(commandId)) action->setEnabled(enabled && commandDepth_ == 0);
}

void CMainWindow::SetWaitCursor(bool on) {
  if (on == waitCursor_) return;
  waitCursor_ = on;
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void CMainWindow::PumpPendingMessages() {
  if (destroying_) return;
  QCoreApplication::processEvents();
}

bool CMainWindow::HasActiveWindow() {
  return QApplication::activeWindow() != nullptr;
}

void CMainWindow::TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) {
  report_.TransferProgress(kind, done, total);
  ShowProgress(progressModel_.Update(kind, done, total));
}

void CMainWindow::ShowProgress(const ProgressFigures& figures) {
  if (!figures.running) {
    progress_->hide();
    return;
  }
  progress_->setRange(0, 100);
  progress_->setValue(figures.percent);
  progress_->setFormat(QString::fromStdString(figures.text));
  progress_->show();
}

std::optional<std::string> CMainWindow::AskRomFile() {
  QFileDialog dialog(this, "Open");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters(NameFilters(Text(kStrRomFileFilter)));
  dialog.setDefaultSuffix(kRomDefaultExtension);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> CMainWindow::AskSubmoduleText() {
  CSubmoduleDialog dialog(nullptr, this);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  report_.SetRoute(dialog.Text());
  return dialog.Text();
}

std::optional<ConfigChoice> CMainWindow::AskConfiguration(const ConfigChoice& initial) {
  std::array<std::string, 4> devices;
  for (int i = 0; i < 4; ++i)
    devices[i] = frame_->Port() ? frame_->Port()->DevicePathFor(i + 1) : std::string();
  CConfigDialog dialog(initial, devices, nullptr, this);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

void CMainWindow::ShowStartupNotice() {
  CStartupNoticeDialog dialog(nullptr, this);
  dialog.exec();
}

void CMainWindow::ShowAbout() {
  CAboutDialog dialog(nullptr, this);
  dialog.exec();
}
