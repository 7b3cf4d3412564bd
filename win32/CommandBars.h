#pragma once

#include <array>
#include <string>
#include <vector>

#include "frontend/ProgressModel.h"
#include "win32/Win32Api.h"

// The toolbar: its buttons in the command table's order, the images from
// the bitmap strip of resource 128. It lies across or, for
// a dock on the left or right, stands; its parent places it (CWinToolDock).
class CWinToolBar {
 public:
  CWinToolBar() = default;
  CWinToolBar(const CWinToolBar&) = delete;
  CWinToolBar& operator=(const CWinToolBar&) = delete;
  ~CWinToolBar();

  bool Create(HWND parent, HINSTANCE instance);
  HWND Handle() const { return hwnd_; }
  // The command ids of the buttons, without the separators.
  const std::vector<int>& Commands() const { return commands_; }
  void Enable(int commandId, bool enabled);
  // One button under the other, or side by side; the buttons keep their state.
  void SetVertical(bool vertical);
  // The size the buttons take.
  SIZE Extent() const;

 private:
  HWND hwnd_ = nullptr;
  HIMAGELIST images_ = nullptr;
  std::vector<int> commands_;
  std::vector<TBBUTTON> buttons_;
};

// The status bar: the message pane, then CAP, NUM and SCRL, which show
// their text while the lock key is on. While a transfer runs, a pane
// before CAP holds its figures and a progress bar.
class CWinStatusBar {
 public:
  bool Create(HWND parent, HINSTANCE instance);
  HWND Handle() const { return hwnd_; }
  void SetMessage(const std::wstring& text);
  const std::wstring& Message() const { return message_; }
  void UpdateIndicators();
  // After the parent's size changed: the bar's own size and its panes.
  void Layout();
  void ShowProgress(const ProgressFigures& figures);

 private:
  // The first indicator's pane: after the progress pane while that shows.
  int FirstIndicatorPane() const { return progressShown_ ? 2 : 1; }
  void PlaceProgressBar();

  HWND hwnd_ = nullptr;
  HWND progress_ = nullptr;
  std::wstring message_;
  std::wstring progressText_;
  bool progressShown_ = false;
  std::array<std::wstring, 3> indicators_;
  std::array<bool, 3> shown_{};
};
