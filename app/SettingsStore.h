#pragma once

#include <string>
#include <vector>

// The per-user settings store: text values by section and key. A missing
// value reads as an empty string.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual std::string Read(const std::string& section, const std::string& key) = 0;
  virtual void Write(const std::string& section, const std::string& key, const std::string& value) = 0;
  // What was wrong with the values read so far, each said once, with what
  // was done about it; a store that reads every value as it is has nothing.
  virtual std::vector<std::string> TakeProblems() { return {}; }
};
