#pragma once

#include "frontend/ProgressModel.h"
#include "win32/Win32Api.h"

struct ITaskbarList3;

// A transfer's progress on the window's taskbar button, red once it broke
// off. Where the shell offers no taskbar list (older Wine) it shows nothing
// and says nothing: the status bar still shows the transfer.
class CWinTaskbarProgress {
 public:
  CWinTaskbarProgress() = default;
  CWinTaskbarProgress(const CWinTaskbarProgress&) = delete;
  CWinTaskbarProgress& operator=(const CWinTaskbarProgress&) = delete;
  ~CWinTaskbarProgress();

  void Attach(HWND window);
  void Show(const ProgressFigures& figures);

 private:
  HWND window_ = nullptr;
  ITaskbarList3* taskbar_ = nullptr;
  bool comStarted_ = false;
};
