#include "ini/ModelLookup.h"

#include "ini/IniFile.h"

namespace {

constexpr int kMaxReads = 100;

}  // namespace

// The first entry is compared only once the read after it yields nothing:
// the loop compares after each further read, and a failed read keeps the
// previous entry as the last one.
ModelLookupResult LookupModel(std::uint16_t code, const std::string& path) {
  CIniFile ini(path);
  ModelLookupResult result;
  std::uint32_t lastCode = 0;
  if (!ini.GetEntry(0, lastCode, result.name)) return result;
  result.firstReadYielded = true;
  int reads = 0;
  do {
    ++reads;
    result.lastReadYielded = ini.GetEntry(-1, lastCode, result.name);
  } while (lastCode != code && reads < kMaxReads);
  result.matched = lastCode == code && reads < kMaxReads;
  // The entry last read names some other UPS: showing it would misname this one.
  if (!result.matched) result.name.clear();
  return result;
}
