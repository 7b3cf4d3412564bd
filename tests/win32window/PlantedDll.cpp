// Test equipment: a DLL that the test plants beside the programs under the
// names of system DLLs. Loaded, it leaves a trace: a file named after itself
// with ".loaded" added, in its own folder.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcatW(path, L".loaded");
  HANDLE trace = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (trace != INVALID_HANDLE_VALUE) CloseHandle(trace);
  return TRUE;
}

// What rundll32.exe calls when the test proves that a load leaves the trace.
extern "C" __declspec(dllexport) void CALLBACK Touch(HWND, HINSTANCE, LPSTR, int) {}
