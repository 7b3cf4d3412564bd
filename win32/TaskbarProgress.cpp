#include "win32/TaskbarProgress.h"

// After windows.h, which it needs.
#include <shobjidl.h>

CWinTaskbarProgress::~CWinTaskbarProgress() {
  if (taskbar_) taskbar_->Release();
  if (comStarted_) CoUninitialize();
}

void CWinTaskbarProgress::Attach(HWND window) {
  window_ = window;
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  comStarted_ = SUCCEEDED(started);
  if (!comStarted_) return;
  void* list = nullptr;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &list)))
    return;
  taskbar_ = static_cast<ITaskbarList3*>(list);
  if (FAILED(taskbar_->HrInit())) {
    taskbar_->Release();
    taskbar_ = nullptr;
  }
}

// The calls fail until the shell has made the button; the next report tries again.
void CWinTaskbarProgress::Show(const ProgressFigures& figures) {
  if (!taskbar_) return;
  if (figures.running || figures.failed) {
    taskbar_->SetProgressState(window_, figures.running ? TBPF_NORMAL : TBPF_ERROR);
    taskbar_->SetProgressValue(window_, static_cast<ULONGLONG>(figures.percent), 100);
  } else {
    taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
  }
}
