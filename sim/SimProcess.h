#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "sim/ChildProcess.h"

// tobrane-upssim on its pseudo-terminal for one test or benchmark: started with a
// profile, stopped with SIGTERM, its record read back from the state file.
class CSimProcess {
 public:
  // Starts the simulator in dir and waits for the pty path on its first line.
  bool Start(const std::filesystem::path& profile, const std::filesystem::path& dir,
             const std::vector<std::string>& moreArgs = {});
  const std::string& Device() const { return device_; }
  // SIGTERM, then the exit status (nothing when it had to be killed).
  std::optional<int> Stop();
  // The state file the simulator wrote on its way out.
  nlohmann::json State() const;
  std::string Err() const { return process_.Err(); }

 private:
  CChildProcess process_;
  std::filesystem::path statePath_;
  std::string device_;
};

// A bundled profile (sim/profiles) as JSON, to be changed by a test.
nlohmann::json BundledProfileJson(const std::string& name);
// Writes a profile into dir beside the module profiles that routes name.
std::filesystem::path WriteProfile(const std::filesystem::path& dir, const std::string& name,
                                   const nlohmann::json& profile);
std::filesystem::path BundledProfilePath(const std::string& name);

// Bytes of one flash space in a state file, from address on.
std::vector<std::uint8_t> StateFlash(const nlohmann::json& state, const std::vector<int>& route, int cpu,
                                     std::uint32_t address, std::size_t count);
// The kinds of the recorded requests, in order.
std::vector<std::string> StateRequestKinds(const nlohmann::json& state);
