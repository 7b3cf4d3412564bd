#include <gtest/gtest.h>
#include <windows.h>

#include "frontend/Sha256.h"
#include "frontend/SystemLibrariesWin32.h"

TEST(SystemLibraries, ADllBesideTheProgramIsNoLongerFoundAndSystemDllsStillAre) {
  // planted-dll.dll lies beside this program. Wine, like Windows, finds it there by default, but no longer
  // once the search is System32 only; the digest of "abc" then still comes from System32's bcrypt.dll.
  HMODULE planted = LoadLibraryW(L"planted-dll.dll");
  ASSERT_NE(planted, nullptr) << "planted-dll.dll is not beside the test";
  FreeLibrary(planted);
  LoadDllsFromSystem32Only();
  EXPECT_EQ(LoadLibraryW(L"planted-dll.dll"), nullptr);
  const std::vector<std::uint8_t> digest = Sha256({'a', 'b', 'c'});
  ASSERT_EQ(digest.size(), 32u);
  EXPECT_EQ(digest[0], 0xBA);
  EXPECT_EQ(digest[31], 0xAD);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(GetModuleHandleW(L"bcrypt.dll"), path, MAX_PATH);
  CharLowerW(path);
  EXPECT_NE(std::wstring(path).find(L"\\system32\\bcrypt.dll"), std::wstring::npos) << path;
}
