#pragma once

#include "win32/Win32Api.h"

// A window whose messages go to a C++ object: the object is handed to
// CreateWindowExW as its last argument, as a CWinObjectWindow* (a class with
// more bases has it at another address), and gets every message from
// WM_NCCREATE on. Its handle is hwnd_ from then until WM_NCDESTROY.
class CWinObjectWindow {
 public:
  CWinObjectWindow() = default;
  CWinObjectWindow(const CWinObjectWindow&) = delete;
  CWinObjectWindow& operator=(const CWinObjectWindow&) = delete;
  virtual ~CWinObjectWindow() = default;

 protected:
  // Registers the class with this kind's window procedure; true once it exists.
  static bool RegisterObjectClass(WNDCLASSEXW windowClass);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
