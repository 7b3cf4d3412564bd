#pragma once

#include <functional>

#include "win32/CommandBars.h"
#include "win32/ObjectWindow.h"
#include "win32/Win32Api.h"

enum class DockSide { Top, Bottom, Left, Right };

// The toolbar's dock: a strip along one side of the frame, with a gripper
// before the buttons. Dragging the gripper towards another side docks the
// toolbar there, lying across at the top and bottom and standing at the left
// and right. It starts at the top. The toolbar's commands and notices go on
// to the frame as if the toolbar were its own child.
class CWinToolDock final : private CWinObjectWindow {
 public:
  // docked runs after the toolbar moved to another side, for the frame's layout.
  bool Create(HWND frame, HINSTANCE instance, std::function<void()> docked);
  HWND Handle() const { return hwnd_; }
  CWinToolBar& ToolBar() { return toolBar_; }
  DockSide Side() const { return side_; }
  void DockAt(DockSide side);
  // Takes its strip of area, none while hidden, and leaves the rest in area.
  void Place(RECT& area);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool Vertical() const { return side_ == DockSide::Left || side_ == DockSide::Right; }
  RECT GripperRect() const;
  void Paint();
  void Drag(POINT screenPoint);

  HWND frame_ = nullptr;
  CWinToolBar toolBar_;
  DockSide side_ = DockSide::Top;
  bool dragging_ = false;
  std::function<void()> docked_;
};
