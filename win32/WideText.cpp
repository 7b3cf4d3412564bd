#include "win32/WideText.h"

#include <algorithm>

std::wstring LoadResourceText(HINSTANCE instance, UINT id) {
  const wchar_t* text = nullptr;
  // A zero buffer length hands back a pointer into the resource itself.
  const int length = LoadStringW(instance, id, reinterpret_cast<wchar_t*>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

std::wstring PromptStatusText(const std::wstring& prompt) {
  return prompt.substr(0, prompt.find(L'\n'));
}

std::wstring PromptTooltip(const std::wstring& prompt) {
  const std::size_t lineFeed = prompt.find(L'\n');
  return lineFeed == std::wstring::npos ? std::wstring() : prompt.substr(lineFeed + 1);
}

std::wstring FileDialogFilter(const std::string& barSeparated) {
  std::wstring filter = WideFromUtf8(barSeparated);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  return filter;
}
