#pragma once

#include <QSettings>
#include <string>

#include "app/SettingsStore.h"

// The per-user settings store over QSettings: organisation "Ostrand
// Electronics", application "Tobrane PROM Loader". On Linux an INI file under
// $XDG_CONFIG_HOME (else ~/.config), so tests and demos that set
// XDG_CONFIG_HOME never touch the user's own settings.
class CQSettingsStore final : public ISettingsStore {
 public:
  CQSettingsStore();
  std::string Read(const std::string& section, const std::string& key) override;
  void Write(const std::string& section, const std::string& key, const std::string& value) override;
  // Where the values live (the INI file's path on Linux).
  std::string Location() const;

 private:
  QSettings settings_;
};
