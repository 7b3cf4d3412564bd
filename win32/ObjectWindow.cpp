#include "win32/ObjectWindow.h"

bool CWinObjectWindow::RegisterObjectClass(WNDCLASSEXW windowClass) {
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &CWinObjectWindow::WindowProc;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK CWinObjectWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<CWinObjectWindow*>(create->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* window = reinterpret_cast<CWinObjectWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = window->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    window->hwnd_ = nullptr;
  }
  return result;
}
