#include "frontend/SerialDeviceList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "resources/Strings.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTtyPrefixes[] = {"ttyS", "ttyUSB", "ttyACM"};

bool HasNumberedPrefix(const std::string& name, const std::string& prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  return std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

bool IsSerialNodeName(const std::string& name) {
  return std::any_of(std::begin(kTtyPrefixes), std::end(kTtyPrefixes),
                     [&](const char* prefix) { return HasNumberedPrefix(name, prefix); });
}

// Numbered names in number order: ttyS2 before ttyS10.
bool NaturalLess(const SerialDeviceEntry& a, const SerialDeviceEntry& b) {
  if (a.path.size() != b.path.size()) return a.path.size() < b.path.size();
  return a.path < b.path;
}

void AddTtyNodes(const fs::path& dev, std::vector<SerialDeviceEntry>& out) {
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(dev, ec)) {
    const std::string name = e.path().filename().string();
    if (IsSerialNodeName(name)) out.push_back({e.path().string(), {}, ComNumberForDevice("/dev/" + name)});
  }
}

void AddByIdLinks(const fs::path& byId, std::vector<SerialDeviceEntry>& out) {
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(byId, ec)) {
    std::error_code linkError;
    const fs::path target = fs::canonical(e.path(), linkError);
    const std::string targetText = linkError ? std::string() : target.string();
    out.push_back({e.path().string(), targetText, ComNumberForDevice(targetText)});
  }
}

}  // namespace

int ComNumberForDevice(const std::string& path) {
  const std::string prefix = "/dev/ttyS";
  if (path.compare(0, prefix.size(), prefix) != 0 || !HasNumberedPrefix(path.substr(5), "ttyS")) return 0;
  const std::string digits = path.substr(prefix.size());
  if (digits.size() > 6) return 0;
  return std::stoi(digits) + 1;
}

std::vector<SerialDeviceEntry> ListSerialDevices(const std::string& devRoot) {
  std::vector<SerialDeviceEntry> nodes;
  AddTtyNodes(devRoot, nodes);
  std::sort(nodes.begin(), nodes.end(), NaturalLess);
  std::vector<SerialDeviceEntry> links;
  AddByIdLinks(fs::path(devRoot) / "serial" / "by-id", links);
  std::sort(links.begin(), links.end(), NaturalLess);
  nodes.insert(nodes.end(), links.begin(), links.end());
  return nodes;
}

std::string DescribeSerialDevice(const SerialDeviceEntry& entry) {
  std::string line = entry.path;
  if (!entry.target.empty()) line += Format(kStrDeviceLinkTarget, {entry.target});
  if (entry.comNumber > 0) return line + Format(kStrDeviceComNumber, {entry.comNumber, entry.comNumber});
  return line + Text(kStrDeviceNoComNumber);
}
