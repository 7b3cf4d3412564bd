#pragma once

#include <string>
#include <vector>

#include "app/SettingsStore.h"

// The per-user settings store in the registry: one string value per key
// under HKEY_CURRENT_USER\<application key>\<section>. A value that is not
// text, or absurdly long, reads as missing, so start-up writes its default
// back; each such value is remembered as a problem to show.
class CRegistrySettingsStore final : public ISettingsStore {
 public:
  static constexpr const char* kApplicationKey = "Software\\Ostrand Electronics\\Tobrane PROM Loader";
  // Longer values are no setting this program ever wrote.
  static constexpr unsigned kMaxValueChars = 1024;

  explicit CRegistrySettingsStore(std::string applicationKey = kApplicationKey);
  std::string Read(const std::string& section, const std::string& key) override;
  void Write(const std::string& section, const std::string& key, const std::string& value) override;
  // The full key, as regedit and reg.exe name it.
  std::string Location() const;
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  std::string SectionKey(const std::string& section) const;

  std::string applicationKey_;
  std::vector<std::string> problems_;
};
