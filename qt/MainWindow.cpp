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

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "frontend/CommandTable.h"
#include "qt/ConfigDialog.h"
#include "qt/LockKeys.h"
#include "qt/NoticeDialogs.h"
#include "qt/SubmoduleDialog.h"
#include "resources/Strings.h"

// The icons sit in this static library's resource file, which the linker
// leaves out unless a call names it; the call must be outside any namespace.
static void LoadIconResources() {
  Q_INIT_RESOURCE(resources);
}

CMainWindow::CMainWindow(CLoaderApp& app) : app_(app), controller_(app, *this, *this) {
  LoadIconResources();
  setObjectName("mainFrame");
  setWindowIcon(QIcon(kApplicationIcon));
  setAcceptDrops(true);
  // The lock keys may be pressed in any of the application's windows.
  qApp->installEventFilter(this);
  log_ = new CLogView(this);
}

CMainWindow::~CMainWindow() {
  // The frame closes a port still open, which pumps messages and may show a
  // message box; a window on its way out takes neither.
  destroying_ = true;
}

bool CMainWindow::StartFrameTrace(const std::string& path) {
  if (!controller_.StartFrameTrace(path)) return false;
  if (QAction* action = Action(kCmdViewFrameTrace)) {
    const QSignalBlocker quiet(action);
    action->setChecked(true);
  }
  return true;
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
    controller_.StopFrameTrace();
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
    if (!controller_.Busy()) UpdateCommandStates();
  });
  if (showing == Showing::ShownFirst) show();
  const int result = controller_.CreateFrame();
  created_ = true;
  // A paint during the port's message box came too early for the first paint's steps.
  update();
  return result;
}

QAction* CMainWindow::MakeAction(const CommandEntry& entry) {
  const QStringList menu = QString(entry.menuText).split('\t');
  const QStringList tips = QString(entry.prompt).split('\n');
  auto* action = new QAction(menu[0], this);
  action->setData(entry.id);
  action->setObjectName(QString::number(entry.id));
  action->setStatusTip(tips.value(0));
  action->setToolTip(tips.value(1));
  if (menu.size() > 1) action->setShortcut(QKeySequence(menu[1]));
  if (entry.icon) action->setIcon(QIcon(QString(":/icons/%1.xpm").arg(entry.icon)));
  action->setCheckable(entry.checkable);
  actions_[entry.id] = action;
  return action;
}

void CMainWindow::BuildMenus() {
  for (const MenuEntry& entry : MenuBarCommands()) {
    QMenu* menu = menuBar()->addMenu(entry.title);
    for (const CommandEntry& c : entry.items) {
      if (c.id == 0) {
        menu->addSeparator();
        continue;
      }
      QAction* action = MakeAction(c);
      menu->addAction(action);
      if (c.id == kCmdExit) {
        connect(action, &QAction::triggered, this, &QWidget::close);
      } else if (c.id == kCmdSaveReport) {
        connect(action, &QAction::triggered, this, [this] { controller_.SaveReport(); });
      } else if (c.checkable) {
        // Frame Trace is off unless --trace turned it on before the menus existed.
        action->setChecked(c.id != kCmdViewFrameTrace || controller_.FrameTraceOn());
      } else {
        connect(action, &QAction::triggered, this, [this, id = c.id] { Trigger(id); });
      }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainWindow::UpdateCommandStates);
  }
  connect(Action(kCmdViewFrameTrace), &QAction::toggled, this, &CMainWindow::ToggleFrameTrace);
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

std::optional<std::string> CMainWindow::AskReportPath() {
  QFileDialog dialog(this, Text(kStrSaveReportTitle));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(NameFilters(Text(kStrReportFileFilter)));
  dialog.setDefaultSuffix("json");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void CMainWindow::paintEvent(QPaintEvent* event) {
  QMainWindow::paintEvent(event);
  // A modal dialog must not run inside the paint handler: start the steps
  // from the event loop once the first paint has happened.
  if (created_ && Frame().FirstPaintPending() && !firstPaintScheduled_) {
    firstPaintScheduled_ = true;
    QTimer::singleShot(0, this, [this] { controller_.FirstPaint(); });
  }
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
  if (!controller_.CloseAllowed()) {
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
  if (path.isEmpty() || controller_.Busy() || !Frame().IsCommandEnabled(kCmdOpen)) return;
  event->acceptProposedAction();
  controller_.OpenDroppedFile(path.toStdString());
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
  if (!destroying_) controller_.MessageBox(text);
}

void CMainWindow::ShowMessageBox(const std::string& text) {
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
  if (QAction* action = Action(commandId)) action->setEnabled(enabled && !controller_.Busy());
}

void CMainWindow::EnableCommand(int commandId, bool enabled) {
  if (QAction* action = Action(commandId)) action->setEnabled(enabled);
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
  controller_.Polled();
  QCoreApplication::processEvents();
}

bool CMainWindow::HasActiveWindow() {
  return QApplication::activeWindow() != nullptr;
}

void CMainWindow::TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) {
  controller_.TransferProgress(kind, done, total);
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
  controller_.RouteChosen(dialog.Text());
  return dialog.Text();
}

std::optional<ConfigChoice> CMainWindow::AskConfiguration(const ConfigChoice& initial) {
  std::array<std::string, 4> devices;
  for (int i = 0; i < 4; ++i)
    devices[i] = Frame().Port() ? Frame().Port()->DevicePathFor(i + 1) : std::string();
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
