#pragma once

#include <map>
#include <string>
#include <utility>

#include "app/SettingsStore.h"

// A settings store that lives and dies with the run, for drivers without a
// user (tests, benchmarks, fuzzers): nothing is read from or left on disk.
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
