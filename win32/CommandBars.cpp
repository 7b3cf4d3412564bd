#include "win32/CommandBars.h"

#include <algorithm>

#include "frontend/CommandTable.h"
#include "resources/Strings.h"
#include "win32/ResourceIds.h"
#include "win32/WideText.h"

namespace {

constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 15;
// The strip's background, masked out when the images are loaded.
constexpr COLORREF kMaskColour = RGB(255, 0, 255);
constexpr std::array<int, 3> kLockKeys = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};
constexpr std::array<UINT, 3> kIndicatorTexts = {IDS_INDICATOR_CAPS, IDS_INDICATOR_NUM, IDS_INDICATOR_SCRL};
constexpr int kIndicatorPadding = 12;
constexpr int kProgressBarWidth = 120;
constexpr int kProgressGap = 6;

// The widest figures the progress pane must hold, so that it keeps its size.
std::wstring WidestProgressText() {
  return WideFromUtf8(Format(kStrWindowProgress, {Text(kStrCliProgramming), 100, 99999u, "99:59"}));
}

}  // namespace

CWinToolBar::~CWinToolBar() {
  if (images_) ImageList_Destroy(images_);
}

bool CWinToolBar::Create(HWND parent, HINSTANCE instance) {
  const std::vector<int>& ids = ToolbarCommands();
  HBITMAP strip = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (ids.empty() || !strip) return false;
  images_ = ImageList_Create(kButtonWidth, kButtonHeight, ILC_COLOR24 | ILC_MASK, 8, 0);
  ImageList_AddMasked(images_, strip, kMaskColour);
  DeleteObject(strip);
  const DWORD style = WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER |
                      TBSTYLE_TOOLTIPS | TBSTYLE_FLAT;
  hwnd_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_TOOLBAR)), instance, nullptr);
  if (!hwnd_) return false;
  SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
  int image = 0;
  for (int id : ids) {
    TBBUTTON button{};
    if (id == 0) {
      button.fsStyle = BTNS_SEP;
    } else {
      button.iBitmap = image++;
      button.idCommand = id;
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON;
      commands_.push_back(id);
    }
    buttons_.push_back(button);
  }
  SendMessageW(hwnd_, TB_ADDBUTTONSW, buttons_.size(), reinterpret_cast<LPARAM>(buttons_.data()));
  return true;
}

// A standing toolbar is one whose every button, separators too, ends a row.
void CWinToolBar::SetVertical(bool vertical) {
  std::vector<TBBUTTON> buttons = buttons_;
  for (TBBUTTON& button : buttons) {
    if (button.idCommand != 0)
      button.fsState = static_cast<BYTE>(SendMessageW(hwnd_, TB_GETSTATE, button.idCommand, 0));
    button.fsState =
        static_cast<BYTE>(vertical ? button.fsState | TBSTATE_WRAP : button.fsState & ~TBSTATE_WRAP);
  }
  while (SendMessageW(hwnd_, TB_DELETEBUTTON, 0, 0)) {
  }
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  SetWindowLongPtrW(hwnd_, GWL_STYLE, vertical ? style | CCS_VERT : style & ~static_cast<LONG_PTR>(CCS_VERT));
  SendMessageW(hwnd_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

SIZE CWinToolBar::Extent() const {
  SIZE extent{};
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    RECT item{};
    SendMessageW(hwnd_, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
    extent.cx = std::max(extent.cx, item.right);
    extent.cy = std::max(extent.cy, item.bottom);
  }
  return extent;
}

void CWinToolBar::Enable(int commandId, bool enabled) {
  SendMessageW(hwnd_, TB_ENABLEBUTTON, commandId, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

bool CWinStatusBar::Create(HWND parent, HINSTANCE instance) {
  hwnd_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr,
                          WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | SBARS_SIZEGRIP, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_STATUS_BAR)), instance, nullptr);
  if (!hwnd_) return false;
  for (std::size_t i = 0; i < indicators_.size(); ++i)
    indicators_[i] = LoadResourceText(instance, kIndicatorTexts[i]);
  message_ = LoadResourceText(instance, IDS_IDLE_MESSAGE);
  progress_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_PROGRESS)), instance, nullptr);
  if (!progress_) return false;
  SendMessageW(progress_, PBM_SETRANGE32, 0, 100);
  Layout();
  return true;
}

void CWinStatusBar::ShowProgress(const ProgressFigures& figures) {
  if (figures.running != progressShown_) {
    progressShown_ = figures.running;
    ShowWindow(progress_, progressShown_ ? SW_SHOWNA : SW_HIDE);
    Layout();
  }
  if (!progressShown_) return;
  progressText_ = WideFromUtf8(figures.text);
  SendMessageW(hwnd_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(progressText_.c_str()));
  SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(figures.percent), 0);
}

// At the right of its pane, the figures' text at the left.
void CWinStatusBar::PlaceProgressBar() {
  if (!progressShown_) return;
  RECT pane{};
  SendMessageW(hwnd_, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&pane));
  MoveWindow(progress_, pane.right - kProgressBarWidth - 2, pane.top + 2, kProgressBarWidth,
             std::max(0L, pane.bottom - pane.top - 4), TRUE);
}

void CWinStatusBar::SetMessage(const std::wstring& text) {
  message_ = text;
  SendMessageW(hwnd_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(message_.c_str()));
}

void CWinStatusBar::UpdateIndicators() {
  for (std::size_t i = 0; i < kLockKeys.size(); ++i) {
    const bool on = (GetKeyState(kLockKeys[i]) & 1) != 0;
    if (on == shown_[i]) continue;
    shown_[i] = on;
    SendMessageW(hwnd_, SB_SETTEXTW, i + FirstIndicatorPane(),
                 reinterpret_cast<LPARAM>(on ? indicators_[i].c_str() : L""));
  }
}

void CWinStatusBar::Layout() {
  SendMessageW(hwnd_, WM_SIZE, 0, 0);
  RECT bar{};
  GetClientRect(hwnd_, &bar);
  // Each indicator pane as wide as its text, whether it shows or not.
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
  // Right edges; the last pane runs to the size grip.
  std::array<int, 5> edges{};
  const int panes = FirstIndicatorPane() + static_cast<int>(indicators_.size());
  int right = bar.right - GetSystemMetrics(SM_CXVSCROLL);
  for (std::size_t i = indicators_.size(); i > 0; --i) {
    SIZE size{};
    GetTextExtentPoint32W(dc, indicators_[i - 1].c_str(), static_cast<int>(indicators_[i - 1].size()), &size);
    right -= size.cx + kIndicatorPadding;
    // The pane before the indicator ends where it begins.
    edges[i + FirstIndicatorPane() - 2] = right;
  }
  if (progressShown_) {
    const std::wstring widest = WidestProgressText();
    SIZE size{};
    GetTextExtentPoint32W(dc, widest.c_str(), static_cast<int>(widest.size()), &size);
    edges[0] = right - (size.cx + kIndicatorPadding + kProgressGap + kProgressBarWidth);
  }
  edges[panes - 1] = -1;
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  SendMessageW(hwnd_, SB_SETPARTS, panes, reinterpret_cast<LPARAM>(edges.data()));
  SendMessageW(hwnd_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(message_.c_str()));
  if (progressShown_) SendMessageW(hwnd_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(progressText_.c_str()));
  for (std::size_t i = 0; i < indicators_.size(); ++i)
    SendMessageW(hwnd_, SB_SETTEXTW, i + FirstIndicatorPane(),
                 reinterpret_cast<LPARAM>(shown_[i] ? indicators_[i].c_str() : L""));
  PlaceProgressBar();
}
