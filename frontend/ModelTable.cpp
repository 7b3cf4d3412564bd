#include "frontend/ModelTable.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "frontend/PlatformFiles.h"
#include "ini/IniFile.h"
#include "ini/ModelLookup.h"
#include "resources/Strings.h"
#include "seams/Utf8Path.h"

std::vector<std::string> ModelTableSearchOrder() {
  std::vector<std::string> order{Text(kStrModelFileName)};
  for (const std::string& folder : ModelTableFolders()) order.push_back(folder + Text(kStrModelFileName));
  return order;
}

namespace {

// Why the file cannot serve as a model table (unreadable, or no entry in
// section [0]), naming it; empty when it can.
std::string ModelTableProblem(const std::string& path, bool& readable) {
  const std::filesystem::path file = Utf8Path(path);
  std::error_code error;
  readable = false;
  if (std::filesystem::is_directory(file, error)) return Format(kStrModelTableNotAFile, {path});
  if (!std::ifstream(file).is_open()) return Format(kStrModelTableUnreadable, {path});
  readable = true;
  CIniFile ini(path);
  std::uint32_t code = 0;
  std::string name;
  if (!ini.GetEntry(0, code, name)) return Format(kStrModelTableNoEntries, {path});
  return {};
}

}  // namespace

ModelTableChoice ChooseModelTable(const std::optional<std::string>& given) {
  ModelTableChoice choice;
  choice.path = given.value_or(Text(kStrModelFileName));
  choice.found = given.has_value();
  for (const std::string& candidate : ModelTableSearchOrder()) {
    std::error_code error;
    if (choice.found) break;
    if (!std::filesystem::exists(Utf8Path(candidate), error)) continue;
    choice.path = candidate;
    choice.found = true;
  }
  if (choice.found) {
    choice.problem = ModelTableProblem(choice.path, choice.readable);
    return choice;
  }
  std::string searched;
  for (const std::string& place : ModelTableSearchOrder()) searched += (searched.empty() ? "" : ", ") + place;
  choice.problem = Format(kStrModelTableNone, {searched});
  return choice;
}
