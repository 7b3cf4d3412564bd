#include "frontend/RomFacts.h"

#include <fstream>
#include <iterator>

#include "resources/Strings.h"
#include "rom/RomHeader.h"
#include "seams/Utf8Path.h"

namespace {

constexpr std::uint64_t kNoRomDataLength = 16;  // Open reads no header from a file this short
constexpr std::uint16_t kStandardHeaderSize = 20;

std::string ModuleText(std::uint16_t code) {
  if (code < kNamedModules) return Format(kStrInspectModuleNamed, {code, Text(ModuleNameId(code))});
  return Format(kStrInspectModuleUnknown, {code});
}

std::string ModelText(const RomFacts& facts) {
  const std::uint16_t id = facts.header.UpsId();
  if (facts.model.matched && facts.model.lastReadYielded)
    return Format(kStrInspectModelKnown, {id, facts.model.name});
  return Format(kStrInspectModelUnknown, {id, facts.modelFile});
}

std::string ChecksumText(const RomFacts& facts) {
  const StringId id = facts.ChecksumCorrect() ? kStrInspectChecksumCorrect : kStrInspectChecksumWrong;
  return Format(id, {facts.header.CalculatedChecksum(), facts.header.StoredChecksum()});
}

}  // namespace

bool RomFacts::TooShort() const {
  return fileLength <= kNoRomDataLength;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

RomFacts ReadRomFacts(const std::vector<std::uint8_t>& file, const std::string& modelFile) {
  RomFacts facts;
  facts.fileLength = file.size();
  facts.modelFile = modelFile;
  if (facts.TooShort()) return facts;
  facts.header = ParseRomHeader(file.data(), file.size());
  facts.romDataSize = RomDataSize(file.size(), facts.header.declaredSize);
  facts.model = LookupModel(facts.header.UpsId(), modelFile);
  return facts;
}

std::vector<std::string> RomRejections(const RomFacts& facts) {
  if (facts.fileLength == 0) return {Text(kStrInspectEmpty)};
  if (facts.TooShort()) return {Format(kStrInspectTooShort, {facts.fileLength})};
  std::vector<std::string> out;
  const RomHeader& header = facts.header;
  if (!header.magic) out.push_back(Text(kStrInspectNoMagic));
  if (header.declaredSize > kStandardHeaderSize) {
    out.push_back(Format(kStrInspectHeaderTooLarge, {header.declaredSize - kStandardHeaderSize}));
  }
  if (!facts.model.firstReadYielded) {
    out.push_back(Format(kStrInspectNoModelTable, {facts.modelFile}));
  } else if (!facts.model.matched || !facts.model.lastReadYielded) {
    out.push_back(Format(kStrInspectUpsIdUnknown, {header.UpsId(), facts.modelFile}));
  }
  if (facts.romDataSize == 0) out.push_back(Text(kStrInspectNoRomData));
  return out;
}

std::vector<std::string> RomWarnings(const RomFacts& facts) {
  if (facts.TooShort()) return {};
  std::vector<std::string> out;
  const RomHeader& header = facts.header;
  if (!facts.ChecksumCorrect()) {
    out.push_back(Format(kStrInspectChecksumWarning, {header.CalculatedChecksum(), header.StoredChecksum()}));
  }
  if (header.ModuleCode() >= kNamedModules)
    out.push_back(Format(kStrInspectModuleWarning, {header.ModuleCode()}));
  if (header.magic && header.declaredSize < kStandardHeaderSize) {
    out.push_back(Format(kStrInspectShortHeader, {header.declaredSize}));
  }
  return out;
}

std::string DescribeRomFacts(const std::string& path, const RomFacts& facts) {
  std::string text = Format(kStrInspectFile, {path, facts.fileLength});
  if (facts.TooShort()) return text;
  const RomHeader& header = facts.header;
  text += Format(kStrInspectMagic,
                 {header.bytes[0], header.bytes[1], Text(header.magic ? kStrInspectYes : kStrInspectNo)});
  text += Format(kStrInspectHeaderSize, {header.declaredSize});
  text += Format(kStrInspectLoadAddress, {header.LoadAddress()});
  text += ModelText(facts);
  text += ModuleText(header.ModuleCode());
  text += Format(kStrInspectVersion, {header.VersionMajor(), header.VersionMinor()});
  text += Format(kStrInspectDate, {header.DateFirst(), header.DateSecond(), header.Year()});
  text += ChecksumText(facts);
  text += Format(kStrInspectRomData, {facts.romDataSize});
  return text;
}
