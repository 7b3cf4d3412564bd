#include <windows.h>

#include <cwchar>

#include "frontend/PlatformFiles.h"
#include "frontend/Win32Text.h"

namespace {

// The folder of the running executable, with its trailing backslash.
std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
    path.resize(path.size() * 2);
  path.resize(length);
  return Utf8FromWide(path.substr(0, path.find_last_of(L"\\/") + 1));
}

}  // namespace

std::vector<std::string> ModelTableFolders() {
  std::vector<std::string> folders;
  if (const wchar_t* appData = _wgetenv(L"APPDATA"); appData != nullptr && appData[0] != L'\0')
    folders.push_back(Utf8FromWide(appData) + "\\Tobrane PROM Loader\\");
  folders.push_back(ProgramFolder());
  return folders;
}
