#include "win32/MainWindow.h"

#include <algorithm>

#include "app/CommandIds.h"
#include "frontend/CommandTable.h"
#include "resources/Strings.h"
#include "win32/Dialogs.h"
#include "win32/ResourceIds.h"
#include "win32/WideText.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TobranePromLoaderFrame";
// Posted by the first paint: its steps show a modal dialog, which must not
// run inside the paint handler.
constexpr UINT kFirstPaintMessage = WM_APP + 1;
constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 480;

WNDCLASSEXW FrameClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  windowClass.hIconSm =
      static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return windowClass;
}

HMENU MenuBar() {
  HMENU bar = CreateMenu();
  for (const MenuEntry& menu : MenuBarCommands()) {
    HMENU popup = CreatePopupMenu();
    for (const CommandEntry& entry : menu.items) {
      if (entry.id == 0) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(entry.id), WideFromUtf8(entry.menuText).c_str());
      }
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), WideFromUtf8(menu.title).c_str());
  }
  return bar;
}

// "status text\ntooltip" of a command; empty for none.
std::wstring Prompt(int commandId) {
  const CommandEntry* entry = FindCommand(commandId);
  return entry ? WideFromUtf8(entry->prompt) : std::wstring();
}

int WindowHeight(HWND hwnd) {
  if (!IsWindowVisible(hwnd)) return 0;
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect.bottom - rect.top;
}

}  // namespace

CWinMainWindow::CWinMainWindow(CLoaderApp& app, HINSTANCE instance)
    : instance_(instance), controller_(app, *this, *this) {}

CWinMainWindow::~CWinMainWindow() {
  // The frame closes a port still open, which pumps messages and may show a
  // message box; a window on its way out takes neither.
  destroying_ = true;
  if (hwnd_) DestroyWindow(hwnd_);
}

bool CWinMainWindow::Create(int showCommand) {
  if (!RegisterObjectClass(FrameClass(instance_))) return false;
  accelerators_ = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME));
  const std::wstring title = WideFromUtf8(Text(kStrAppTitle));
  // Clipping its children: the frame's own background must not cover the bars.
  hwnd_ = CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          CW_USEDEFAULT, CW_USEDEFAULT, kInitialWidth, kInitialHeight, nullptr, MenuBar(),
                          instance_, static_cast<CWinObjectWindow*>(this));
  if (!hwnd_) return false;
  if (!CreateChildren()) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return false;
  }
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  taskbar_.Attach(hwnd_);
  controller_.CreateFrame();
  created_ = true;
  // A paint during the port's message box came too early for the first paint's steps.
  InvalidateRect(hwnd_, nullptr, TRUE);
  return true;
}

bool CWinMainWindow::CreateChildren() {
  if (!toolDock_.Create(hwnd_, instance_, [this] { Redock(); }) || !statusBar_.Create(hwnd_, instance_) ||
      !log_.Create(hwnd_, instance_))
    return false;
  Layout();
  return true;
}

void CWinMainWindow::Layout() {
  if (!log_.Handle()) return;
  statusBar_.Layout();
  RECT area{};
  GetClientRect(hwnd_, &area);
  area.bottom -= WindowHeight(statusBar_.Handle());
  toolDock_.Place(area);
  MoveWindow(log_.Handle(), area.left, area.top, std::max(0L, area.right - area.left),
             std::max(0L, area.bottom - area.top), TRUE);
}

// Every child moves, and the transcript does not repaint what it uncovers
// by itself: all of the frame is drawn afresh.
void CWinMainWindow::Redock() {
  Layout();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int CWinMainWindow::Run() {
  MSG msg{};
  for (;;) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) OnIdle();
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got < 0) return 1;
    Dispatch(msg);
  }
}

void CWinMainWindow::Dispatch(MSG& msg) {
  if (hwnd_ && accelerators_ && TranslateAcceleratorW(hwnd_, accelerators_, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void CWinMainWindow::OnIdle() {
  if (!hwnd_) return;
  if (!controller_.Busy()) UpdateCommandStates();
  statusBar_.UpdateIndicators();
}

void CWinMainWindow::UpdateCommandStates() {
  controller_.UpdateCommandStates();
  HMENU menu = GetMenu(hwnd_);
  CheckMenuItem(menu, kCmdViewToolbar, MF_BYCOMMAND | (IsWindowVisible(toolDock_.Handle()) ? MF_CHECKED : 0));
  CheckMenuItem(menu, kCmdViewStatusBar,
                MF_BYCOMMAND | (IsWindowVisible(statusBar_.Handle()) ? MF_CHECKED : 0));
  CheckMenuItem(menu, kCmdViewFrameTrace, MF_BYCOMMAND | (controller_.FrameTraceOn() ? MF_CHECKED : 0));
}

void CWinMainWindow::EnableCommand(int commandId, bool enabled) {
  EnableMenuItem(GetMenu(hwnd_), commandId, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  toolDock_.ToolBar().Enable(commandId, enabled);
}

LRESULT CWinMainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd_, &paint);
      EndPaint(hwnd_, &paint);
      if (created_ && Frame().FirstPaintPending() && !firstPaintScheduled_) {
        firstPaintScheduled_ = true;
        PostMessageW(hwnd_, kFirstPaintMessage, 0, 0);
      }
      return 0;
    }
    case kFirstPaintMessage:
      RunFirstPaint();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_INITMENUPOPUP:
      UpdateCommandStates();
      return 0;
    case WM_MENUSELECT:
      // A closed menu (no handle) brings back the idle text; a popup or a
      // separator shows nothing.
      if (HIWORD(wParam) == 0xFFFF && lParam == 0) {
        statusBar_.SetMessage(LoadResourceText(instance_, IDS_IDLE_MESSAGE));
      } else if ((HIWORD(wParam) & (MF_POPUP | MF_SEPARATOR)) == 0) {
        ShowPrompt(LOWORD(wParam));
      } else {
        statusBar_.SetMessage(L"");
      }
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_SETCURSOR:
      if (waitCursor_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      if (controller_.CloseAllowed()) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CWinMainWindow::OnNotify(const NMHDR& header) {
  if (header.code == TTN_GETDISPINFOW) {
    auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
    tooltip_ = PromptTooltip(Prompt(static_cast<int>(header.idFrom)));
    info.lpszText = tooltip_.data();
    return 0;
  }
  if (header.code == TBN_HOTITEMCHANGE && header.hwndFrom == toolDock_.ToolBar().Handle()) {
    const auto& hot = reinterpret_cast<const NMTBHOTITEM&>(header);
    if (hot.dwFlags & HICF_LEAVING) {
      statusBar_.SetMessage(LoadResourceText(instance_, IDS_IDLE_MESSAGE));
    } else {
      ShowPrompt(hot.idNew);
    }
  }
  return 0;
}

void CWinMainWindow::ShowPrompt(int commandId) {
  statusBar_.SetMessage(PromptStatusText(Prompt(commandId)));
}

void CWinMainWindow::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdExit:
      SendMessageW(hwnd_, WM_CLOSE, 0, 0);
      break;
    case kCmdViewToolbar:
      ToggleBar(toolDock_.Handle(), commandId);
      break;
    case kCmdViewStatusBar:
      ToggleBar(statusBar_.Handle(), commandId);
      break;
    case kCmdViewFrameTrace:
      ToggleFrameTrace();
      break;
    case kCmdSaveReport:
      controller_.SaveReport();
      break;
    default:
      controller_.Trigger(commandId);
      break;
  }
}

void CWinMainWindow::ShowProgress(const ProgressFigures& figures) {
  if (!hwnd_) return;
  statusBar_.ShowProgress(figures);
  taskbar_.Show(figures);
}

void CWinMainWindow::RunFirstPaint() {
  HDC dc = GetDC(hwnd_);
  pixelsPerInch_ = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(hwnd_, dc);
  controller_.FirstPaint();
}

void CWinMainWindow::ToggleBar(HWND bar, int commandId) {
  const bool show = !IsWindowVisible(bar);
  ShowWindow(bar, show ? SW_SHOW : SW_HIDE);
  CheckMenuItem(GetMenu(hwnd_), commandId, MF_BYCOMMAND | (show ? MF_CHECKED : 0));
  Layout();
}

bool CWinMainWindow::StartFrameTrace(const std::string& path) {
  return controller_.StartFrameTrace(path);
}

// Ticking the item asks where the trace goes; a cancelled choice leaves it off.
void CWinMainWindow::ToggleFrameTrace() {
  if (controller_.FrameTraceOn()) {
    controller_.StopFrameTrace();
  } else if (const auto path =
                 AskFile(hwnd_, {Text(kStrTraceFileFilter), "txt", Text(kStrFrameTraceTitle), true})) {
    controller_.StartFrameTrace(*path);
  }
  UpdateCommandStates();
}

std::optional<std::string> CWinMainWindow::AskReportPath() {
  return AskFile(hwnd_, {Text(kStrReportFileFilter), "json", Text(kStrSaveReportTitle), true});
}

void CWinMainWindow::TranscriptChanged(const CTranscript& transcript, const TranscriptChange& change) {
  if (log_.Handle()) log_.Show(transcript, change);
}

void CWinMainWindow::ScrollToEnd() {
  if (log_.Handle()) log_.ScrollToEnd(pixelsPerInch_);
}

void CWinMainWindow::SetStatusColour(StatusColour colour) {
  if (log_.Handle()) log_.SetStatusColour(colour);
}

void CWinMainWindow::MessageBox(const std::string& text) {
  if (!destroying_) controller_.MessageBox(text);
}

void CWinMainWindow::ShowMessageBox(const std::string& text) {
  MessageBoxW(hwnd_, WideFromUtf8(text).c_str(), WideFromUtf8(Text(kStrAppTitle)).c_str(), MB_OK);
}

void CWinMainWindow::SetTitle(const std::string& title) {
  SetWindowTextW(hwnd_, WideFromUtf8(title).c_str());
}

void CWinMainWindow::SetStatusText(const std::string& text) {
  statusBar_.SetMessage(WideFromUtf8(text));
}

void CWinMainWindow::EnableToolbarButton(int commandId, bool enabled) {
  // A running command keeps the others grey; its end applies the rules.
  toolDock_.ToolBar().Enable(commandId, enabled && !controller_.Busy());
}

void CWinMainWindow::SetWaitCursor(bool on) {
  waitCursor_ = on;
  SetCursor(LoadCursorW(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

void CWinMainWindow::PumpPendingMessages() {
  if (destroying_) return;
  controller_.Polled();
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The outer loop must still see it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    Dispatch(msg);
  }
  // The transcript control sets its own cursor as the mouse moves over it.
  if (waitCursor_) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

bool CWinMainWindow::HasActiveWindow() {
  return GetActiveWindow() != nullptr;
}

void CWinMainWindow::TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) {
  controller_.TransferProgress(kind, done, total);
}

std::optional<std::string> CWinMainWindow::AskRomFile() {
  return AskFile(hwnd_, {Text(kStrRomFileFilter), "ROM", "", false});
}

std::optional<std::string> CWinMainWindow::AskSubmoduleText() {
  std::optional<std::string> text = RunSubmoduleDialog(instance_, hwnd_);
  if (text) controller_.RouteChosen(*text);
  return text;
}

std::optional<ConfigChoice> CWinMainWindow::AskConfiguration(const ConfigChoice& initial) {
  return RunConfigurationDialog(instance_, hwnd_, initial);
}

void CWinMainWindow::ShowStartupNotice() {
  RunNoticeDialog(instance_, hwnd_, IDD_STARTUP_NOTICE);
}

void CWinMainWindow::ShowAbout() {
  RunNoticeDialog(instance_, hwnd_, IDD_ABOUT);
}
