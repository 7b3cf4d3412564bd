#include "frontend/SystemLibrariesWin32.h"

#include <windows.h>

void LoadDllsFromSystem32Only() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void* LoadSystemLibrary(const wchar_t* name) {
  return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

SystemProc SystemEntryPoint(void* module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<SystemProc>(GetProcAddress(static_cast<HMODULE>(module), name));
}
