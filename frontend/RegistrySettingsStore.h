#pragma once

#include <string>
#include <vector>

#include "app/SettingsStore.h"

// The per-user settings store in the registry: one value per key under
// HKEY_CURRENT_USER\<application key>\<section>. Values are written as text
// (REG_SZ); the numeric ones (Serial: Port, BaudRate, DataBits, StopBits)
// are also read as REG_DWORD, the type regedit offers for a number. A value
// of another type, or absurdly long, reads as missing and is remembered as
// a problem; its message says whether start-up wrote a default over it.
class CRegistrySettingsStore final : public ISettingsStore {
 public:
  static constexpr const char* kApplicationKey = "Software\\Ostrand Electronics\\Tobrane PROM Loader";
  // Longer values are no setting this program ever wrote.
  static constexpr unsigned kMaxValueChars = 1024;

  explicit CRegistrySettingsStore(std::string applicationKey = kApplicationKey);
  std::string Read(const std::string& section, const std::string& key) override;
  void Write(const std::string& section, const std::string& key, const std::string& value) override;
  std::vector<std::string> TakeProblems() override;
  // The full key, as regedit and reg.exe name it.
  std::string Location() const;

 private:
  struct Problem {
    std::string section;
    std::string key;
    unsigned tooLongChars = 0;  // 0: of a wrong type
    bool writtenOver = false;
  };

  std::string SectionKey(const std::string& section) const;
  std::string Describe(const Problem& problem) const;

  std::string applicationKey_;
  std::vector<Problem> problems_;
};
