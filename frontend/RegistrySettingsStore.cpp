#include "frontend/RegistrySettingsStore.h"

#include <windows.h>

#include "frontend/Win32Text.h"
#include "resources/Strings.h"

namespace {

// Closes the key when it goes out of scope.
struct KeyHandle {
  HKEY key = nullptr;
  ~KeyHandle() {
    if (key != nullptr) RegCloseKey(key);
  }
};

}  // namespace

CRegistrySettingsStore::CRegistrySettingsStore(std::string applicationKey)
    : applicationKey_(std::move(applicationKey)) {}

std::string CRegistrySettingsStore::SectionKey(const std::string& section) const {
  return applicationKey_ + "\\" + section;
}

std::string CRegistrySettingsStore::Location() const {
  return "HKEY_CURRENT_USER\\" + applicationKey_;
}

std::string CRegistrySettingsStore::Read(const std::string& section, const std::string& key) {
  KeyHandle handle;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, WideFromUtf8(SectionKey(section)).c_str(), 0, KEY_QUERY_VALUE,
                    &handle.key) != ERROR_SUCCESS) {
    return {};
  }
  const std::wstring name = WideFromUtf8(key);
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(handle.key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    problems_.push_back(Format(kStrSettingWrongType, {section, key}));
    return {};
  }
  const DWORD chars = bytes / sizeof(wchar_t);
  if (chars > kMaxValueChars) {
    problems_.push_back(Format(kStrSettingTooLong, {section, key, static_cast<unsigned>(chars)}));
    return {};
  }
  std::wstring value(chars, L'\0');
  if (RegQueryValueExW(handle.key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                       &bytes) != ERROR_SUCCESS) {
    return {};
  }
  // The stored text may or may not end with its terminator.
  value.resize(bytes / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return Utf8FromWide(value);
}

void CRegistrySettingsStore::Write(const std::string& section, const std::string& key,
                                   const std::string& value) {
  KeyHandle handle;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, WideFromUtf8(SectionKey(section)).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &handle.key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::wstring text = WideFromUtf8(value);
  RegSetValueExW(handle.key, WideFromUtf8(key).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}
