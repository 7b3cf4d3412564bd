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

// The values that hold a number, which a technician may well enter in
// regedit as a DWORD.
bool IsNumeric(const std::string& section, const std::string& key) {
  return section == "Serial" &&
         (key == "Port" || key == "BaudRate" || key == "DataBits" || key == "StopBits");
}

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
  if (type == REG_DWORD && IsNumeric(section, key)) {
    DWORD number = 0;
    bytes = sizeof number;
    if (RegQueryValueExW(handle.key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number),
                         &bytes) != ERROR_SUCCESS) {
      return {};
    }
    return std::to_string(number);
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    problems_.push_back({section, key});
    return {};
  }
  std::wstring value(bytes / sizeof(wchar_t), L'\0');
  if (RegQueryValueExW(handle.key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                       &bytes) != ERROR_SUCCESS) {
    return {};
  }
  // The stored text may or may not end with its terminator, which is no
  // character of the setting's.
  value.resize(bytes / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  if (value.size() > kMaxValueChars) {
    problems_.push_back({section, key, static_cast<unsigned>(value.size())});
    return {};
  }
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
  if (RegSetValueExW(handle.key, WideFromUtf8(key).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    return;
  }
  for (Problem& problem : problems_) {
    if (problem.section == section && problem.key == key) problem.writtenOver = true;
  }
}

std::vector<std::string> CRegistrySettingsStore::TakeProblems() {
  std::vector<std::string> texts;
  for (const Problem& problem : problems_) texts.push_back(Describe(problem));
  problems_.clear();
  return texts;
}

// What is wrong, then what was done: a value that nothing wrote over (one
// without a default, such as Serial\Device) stays as it is.
std::string CRegistrySettingsStore::Describe(const Problem& problem) const {
  std::string text;
  if (problem.tooLongChars > 0) {
    text = Format(kStrSettingTooLong, {problem.section, problem.key, problem.tooLongChars});
  } else {
    text = Format(IsNumeric(problem.section, problem.key) ? kStrSettingNotTextOrNumber : kStrSettingNotText,
                  {problem.section, problem.key});
  }
  return text + Text(problem.writtenOver ? kStrSettingWrittenBack : kStrSettingIgnored);
}
