#pragma once

#include <string>

// The per-user settings store: text values by section and key. A missing
// value reads as an empty string.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual std::string Read(const std::string& section, const std::string& key) = 0;
  virtual void Write(const std::string& section, const std::string& key, const std::string& value) = 0;
};
