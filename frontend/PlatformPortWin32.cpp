#include <windows.h>

#include <algorithm>
#include <map>

#include "frontend/NetworkErrorText.h"
#include "frontend/PlatformPort.h"
#include "frontend/Win32Text.h"
#include "resources/Strings.h"
#include "serial/Win32ComDevice.h"

namespace {

constexpr const wchar_t* kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

// COM number to the device name Windows gives it ("" when none): the DOS
// device names that are COM ports, and the serial ports the registry lists
// with their kernel device names.
std::map<int, std::string> PresentPorts() {
  std::map<int, std::string> ports;
  std::wstring names(65536, L'\0');
  const DWORD length = QueryDosDeviceW(nullptr, names.data(), static_cast<DWORD>(names.size()));
  for (std::size_t at = 0; at < length && names[at] != L'\0'; at = names.find(L'\0', at) + 1) {
    const std::string name = Utf8FromWide(names.c_str() + at);
    if (int number = ComPortNumber(name); number > 0) ports.emplace(number, "");
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return ports;
  for (DWORD index = 0;; ++index) {
    wchar_t device[256];
    wchar_t port[64];
    DWORD deviceChars = 256;
    DWORD portBytes = sizeof port;
    DWORD type = 0;
    if (RegEnumValueW(key, index, device, &deviceChars, nullptr, &type, reinterpret_cast<BYTE*>(port),
                      &portBytes) != ERROR_SUCCESS) {
      break;
    }
    if (type != REG_SZ) continue;
    port[std::min<DWORD>(portBytes / sizeof(wchar_t), 63)] = L'\0';
    if (int number = ComPortNumber(Utf8FromWide(port)); number > 0) ports[number] = Utf8FromWide(device);
  }
  RegCloseKey(key);
  return ports;
}

std::string PresentPortNames() {
  std::string names;
  for (const auto& [number, device] : PresentPorts())
    names += (names.empty() ? "COM" : ", COM") + std::to_string(number);
  return names.empty() ? Text(kStrPortNoneWindows) : names;
}

bool IsFileOrFolder(const std::string& path) {
  return ComPortNumber(path) == 0 &&
         GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Advice(const std::string& devicePath, const PortError& error) {
  if (ComPortNumber(devicePath) > kMaxComPort) return Text(kStrPortNumberRange);
  if (IsFileOrFolder(devicePath)) return Format(kStrPortNotSerialWindows, {devicePath});
  switch (error.Meaning()) {
    case PortFailure::AccessDenied:
    case PortFailure::Busy:
      return Text(kStrPortHeldWindows);
    case PortFailure::NotFound:
      return Format(kStrPortMissingWindows, {PresentPortNames()});
    default:
      return {};
  }
}

}  // namespace

std::string Win32CodeText(int code) {
  const auto error = static_cast<DWORD>(code);
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length > 0 ? std::wstring(text, length) : L"error " + std::to_wstring(error);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
    message.pop_back();
  }
  return Utf8FromWide(message);
}

std::string ExplainPortError(const std::string& devicePath, const PortError& error,
                             const std::string& detail) {
  return PortCannotOpenText(devicePath, error) + Advice(devicePath, error) + ServerWordsText(detail);
}

std::vector<std::string> PortListLines() {
  std::vector<std::string> lines;
  for (const auto& [number, device] : PresentPorts()) {
    const std::string name = "COM" + std::to_string(number);
    lines.push_back(device.empty() ? name : Format(kStrPortListEntryNamed, {name, device}));
  }
  return lines;
}
