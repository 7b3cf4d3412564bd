#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "app/LoaderApp.h"
#include "frontend/RegistrySettingsStore.h"
#include "frontend/Win32Text.h"
#include "serial/Win32ComDevice.h"

namespace {

// A key of this test's own under the test prefix's HKEY_CURRENT_USER, gone
// when the test ends.
struct ScratchKey {
  ScratchKey()
      : path("Software\\Ostrand Electronics\\Tobrane Test " + std::to_string(GetCurrentProcessId())) {}
  ~ScratchKey() { RegDeleteTreeW(HKEY_CURRENT_USER, WideFromUtf8(path).c_str()); }
  void SetRaw(const std::string& section, const std::string& key, DWORD type, const void* data,
              DWORD bytes) const {
    HKEY handle = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, WideFromUtf8(path + "\\" + section).c_str(), 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &handle, nullptr);
    RegSetValueExW(handle, WideFromUtf8(key).c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(handle);
  }
  std::string path;
};

// What reg.exe, the tool a technician would use, prints for a key.
std::string RegQuery(const std::string& key) {
  std::string output;
  if (FILE* pipe = _popen(("reg query \"HKCU\\" + key + "\"").c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    _pclose(pipe);
  }
  return output;
}

TEST(RegistryStore, StartUpWritesTheDefaultsAsTextThatRegQueryReads) {
  // A first start leaves every default under Serial and Config as REG_SZ, and the store reads back what it
  // wrote.
  ScratchKey key;
  CRegistrySettingsStore store(key.path);
  CSystemClock clock;
  CLoaderApp app(store, clock, std::make_unique<CWin32ComDevice>());
  app.Start("");
  const std::string serial = RegQuery(key.path + "\\Serial");
  for (const char* line : {"Port    REG_SZ    2", "BaudRate    REG_SZ    19200", "DataBits    REG_SZ    8",
                           "StopBits    REG_SZ    1", "Parity    REG_SZ    none"}) {
    EXPECT_NE(serial.find(line), std::string::npos) << line << " in\n" << serial;
  }
  const std::string config = RegQuery(key.path + "\\Config");
  for (const char* line : {"Verify    REG_SZ    Y", "Cpu0    REG_SZ    N", "Passthrough    REG_SZ    N"}) {
    EXPECT_NE(config.find(line), std::string::npos) << line << " in\n" << config;
  }
  store.Write("Serial", "Device", "\\\\.\\COM12 \xC3\xA9");
  EXPECT_EQ(store.Read("Serial", "Device"), "\\\\.\\COM12 \xC3\xA9");
  EXPECT_TRUE(store.TakeProblems().empty());
}

TEST(RegistryStore, ValuesOfTheWrongTypeOrAbsurdLengthAreReplacedByTheDefault) {
  // A DWORD where text belongs and a 5000-character string read as missing, each named as a problem, and
  // start-up writes the defaults. A DWORD Device has no default: it is said to be left, and is.
  ScratchKey key;
  const DWORD number = 57600;
  key.SetRaw("Serial", "Parity", REG_DWORD, &number, sizeof number);
  key.SetRaw("Serial", "Device", REG_DWORD, &number, sizeof number);
  const std::wstring huge(5000, L'E');
  key.SetRaw("Serial", "BaudRate", REG_SZ, huge.c_str(),
             static_cast<DWORD>((huge.size() + 1) * sizeof(wchar_t)));
  CRegistrySettingsStore store(key.path);
  CSystemClock clock;
  CLoaderApp app(store, clock, std::make_unique<CWin32ComDevice>());
  app.Start("");
  EXPECT_EQ(
      app.SettingsWarnings(),
      (std::vector<std::string>{
          "The setting Serial\\BaudRate in the registry is 5000 characters long; the default is used and "
          "written back.",
          "The setting Serial\\Parity in the registry is not text; the default is used and written back.",
          "The setting Serial\\Device in the registry is not text; it is ignored and left as it is."}));
  EXPECT_EQ(store.Read("Serial", "BaudRate"), "19200");
  EXPECT_EQ(store.Read("Serial", "Parity"), "none");
  EXPECT_NE(RegQuery(key.path + "\\Serial").find("Device    REG_DWORD    0xe100"), std::string::npos);
}

TEST(RegistryStore, NumbersEnteredAsDwordAreReadAndLeftAsTheyAre) {
  // regedit's natural type for Port and friends: read as their decimal text, no problem, not rewritten.
  ScratchKey key;
  const DWORD port = 7;
  const DWORD baud = 9600;
  key.SetRaw("Serial", "Port", REG_DWORD, &port, sizeof port);
  key.SetRaw("Serial", "BaudRate", REG_DWORD, &baud, sizeof baud);
  CRegistrySettingsStore store(key.path);
  CSystemClock clock;
  CLoaderApp app(store, clock, std::make_unique<CWin32ComDevice>());
  app.Start("");
  EXPECT_TRUE(app.SettingsWarnings().empty());
  EXPECT_EQ(app.Port()->settings.port, "7");
  EXPECT_EQ(app.Port()->settings.baud, "9600");
  EXPECT_NE(RegQuery(key.path + "\\Serial").find("Port    REG_DWORD    0x7"), std::string::npos);
}

}  // namespace
