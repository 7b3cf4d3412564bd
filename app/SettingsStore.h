#pragma once

#include <map>
#include <string>
#include <utility>

// The per-user settings store: text values by section and key. A missing
// value reads as an empty string.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual std::string Read(const std::string& section, const std::string& key) = 0;
  virtual void Write(const std::string& section, const std::string& key, const std::string& value) = 0;
};

class CMemorySettingsStore final : public ISettingsStore {
 public:
  std::string Read(const std::string& section, const std::string& key) override {
    auto it = values_.find({section, key});
    return it == values_.end() ? std::string() : it->second;
  }
  void Write(const std::string& section, const std::string& key, const std::string& value) override {
    values_[{section, key}] = value;
  }
  const std::map<std::pair<std::string, std::string>, std::string>& Values() const { return values_; }

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};
