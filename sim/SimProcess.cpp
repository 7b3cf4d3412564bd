#include "sim/SimProcess.h"

#include <signal.h>

#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kStopLimit = std::chrono::seconds(10);
constexpr auto kPollStep = std::chrono::milliseconds(10);

std::vector<std::uint8_t> HexBytes(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 3)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace

bool CSimProcess::Start(const fs::path& profile, const fs::path& dir,
                        const std::vector<std::string>& moreArgs) {
  statePath_ = dir / "ups-state.json";
  std::vector<std::string> args{"--profile", profile.string(), "--state-out", statePath_.string()};
  args.insert(args.end(), moreArgs.begin(), moreArgs.end());
  if (!process_.Start({TOBRANE_UPSSIM, args, dir, "upssim", {}, -1})) return false;
  const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
  while (std::chrono::steady_clock::now() < deadline && process_.Running()) {
    const std::string out = process_.Out();
    const std::size_t newline = out.find('\n');
    if (newline != std::string::npos) {
      device_ = out.substr(0, newline);
      return true;
    }
    std::this_thread::sleep_for(kPollStep);
  }
  return false;
}

std::optional<int> CSimProcess::Stop() {
  process_.Signal(SIGTERM);
  return process_.Wait(kStopLimit);
}

nlohmann::json CSimProcess::State() const {
  return nlohmann::json::parse(SlurpFile(statePath_), nullptr, false);
}

fs::path BundledProfilePath(const std::string& name) {
  return fs::path(TOBRANE_SIM_PROFILES) / (name + ".json");
}

nlohmann::json BundledProfileJson(const std::string& name) {
  return nlohmann::json::parse(SlurpFile(BundledProfilePath(name)));
}

fs::path WriteProfile(const fs::path& dir, const std::string& name, const nlohmann::json& profile) {
  for (const char* module : {"power-module", "power-module-own-map"})
    fs::copy_file(BundledProfilePath(module), dir / (std::string(module) + ".json"),
                  fs::copy_options::overwrite_existing);
  const fs::path path = dir / (name + ".json");
  std::ofstream(path) << profile.dump(1) << "\n";
  return path;
}

std::vector<std::uint8_t> StateFlash(const nlohmann::json& state, const std::vector<int>& route, int cpu,
                                     std::uint32_t address, std::size_t count) {
  if (!state.contains("flash")) return {};
  for (const nlohmann::json& space : state["flash"]) {
    const std::uint32_t start = space["start"];
    const std::uint32_t size = space["size"];
    if (space["route"].get<std::vector<int>>() != route || space["cpu"] != cpu || address < start ||
        address + count > std::uint64_t{start} + size)
      continue;
    const std::vector<std::uint8_t> bytes = HexBytes(space["hex"]);
    const auto from = bytes.begin() + (address - start);
    return {from, from + static_cast<std::ptrdiff_t>(count)};
  }
  return {};
}

std::vector<std::string> StateRequestKinds(const nlohmann::json& state) {
  std::vector<std::string> kinds;
  if (!state.contains("requests")) return kinds;
  for (const nlohmann::json& request : state["requests"]) kinds.push_back(request["kind"]);
  return kinds;
}
