#include "win32/ToolDock.h"

#include <optional>
#include <utility>

namespace {

constexpr wchar_t kDockClass[] = L"TobraneToolDock";
// The gripper's depth along the toolbar, and the margin round its ridges.
constexpr int kGripperDepth = 9;
constexpr int kGripperInset = 2;
// A side takes the toolbar when the pointer comes this close to it, once
// the pointer has left the current side's band: a drag that starts in a
// corner does not flip the toolbar before it has gone anywhere.
constexpr int kDockBand = 48;

bool IsNear(DockSide side, POINT point, const RECT& area) {
  switch (side) {
    case DockSide::Top:
      return point.y < area.top + kDockBand;
    case DockSide::Bottom:
      return point.y >= area.bottom - kDockBand;
    case DockSide::Left:
      return point.x < area.left + kDockBand;
    case DockSide::Right:
      return point.x >= area.right - kDockBand;
  }
  return false;
}

std::optional<DockSide> SideToDock(DockSide current, POINT point, const RECT& area) {
  if (IsNear(current, point, area)) return std::nullopt;
  for (DockSide side : {DockSide::Top, DockSide::Bottom, DockSide::Left, DockSide::Right})
    if (IsNear(side, point, area)) return side;
  return std::nullopt;
}

WNDCLASSEXW DockClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kDockClass;
  return windowClass;
}

}  // namespace

bool CWinToolDock::Create(HWND frame, HINSTANCE instance, std::function<void()> docked) {
  frame_ = frame;
  docked_ = std::move(docked);
  if (!RegisterObjectClass(DockClass(instance))) return false;
  hwnd_ = CreateWindowExW(0, kDockClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, frame,
                          nullptr, instance, static_cast<CWinObjectWindow*>(this));
  return hwnd_ && toolBar_.Create(hwnd_, instance);
}

void CWinToolDock::DockAt(DockSide side) {
  if (side == side_) return;
  const bool wasVertical = Vertical();
  side_ = side;
  if (Vertical() != wasVertical) toolBar_.SetVertical(Vertical());
  InvalidateRect(hwnd_, nullptr, TRUE);
  docked_();
}

void CWinToolDock::Place(RECT& area) {
  if (!IsWindowVisible(hwnd_)) return;
  const SIZE bar = toolBar_.Extent();
  RECT strip = area;
  switch (side_) {
    case DockSide::Top:
      strip.bottom = area.top = area.top + bar.cy;
      break;
    case DockSide::Bottom:
      strip.top = area.bottom = area.bottom - bar.cy;
      break;
    case DockSide::Left:
      strip.right = area.left = area.left + bar.cx;
      break;
    case DockSide::Right:
      strip.left = area.right = area.right - bar.cx;
      break;
  }
  MoveWindow(hwnd_, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top, TRUE);
  const POINT origin = Vertical() ? POINT{0, kGripperDepth} : POINT{kGripperDepth, 0};
  MoveWindow(toolBar_.Handle(), origin.x, origin.y, bar.cx, bar.cy, TRUE);
}

RECT CWinToolDock::GripperRect() const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (Vertical()) {
    client.bottom = client.top + kGripperDepth;
  } else {
    client.right = client.left + kGripperDepth;
  }
  return client;
}

LRESULT CWinToolDock::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
      return SendMessageW(frame_, message, wParam, lParam);
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETCURSOR: {
      POINT point{};
      GetCursorPos(&point);
      ScreenToClient(hwnd_, &point);
      const RECT gripper = GripperRect();
      if (!dragging_ && !PtInRect(&gripper, point)) break;
      SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
      return TRUE;
    }
    case WM_LBUTTONDOWN: {
      const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const RECT gripper = GripperRect();
      if (!PtInRect(&gripper, point)) break;
      dragging_ = true;
      SetCapture(hwnd_);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_) {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(hwnd_, &point);
        Drag(point);
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// Two raised ridges across the gripper, as a docked bar's handle looks.
void CWinToolDock::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  const RECT gripper = GripperRect();
  for (int ridge = 0; ridge < 2; ++ridge) {
    const int offset = kGripperInset + ridge * 3;
    RECT line = gripper;
    if (Vertical()) {
      InflateRect(&line, -kGripperInset, 0);
      line.top = gripper.top + offset;
      line.bottom = line.top + 3;
    } else {
      InflateRect(&line, 0, -kGripperInset);
      line.left = gripper.left + offset;
      line.right = line.left + 3;
    }
    DrawEdge(dc, &line, BDR_RAISEDINNER, BF_RECT);
  }
  EndPaint(hwnd_, &paint);
}

// The frame's client area is the dock's world; the status bar counts as the bottom.
void CWinToolDock::Drag(POINT screenPoint) {
  RECT area{};
  GetClientRect(frame_, &area);
  ScreenToClient(frame_, &screenPoint);
  if (const std::optional<DockSide> side = SideToDock(side_, screenPoint, area)) DockAt(*side);
}
