#include "frontend/RunReport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "connection/PlugAndPlay.h"
#include "frontend/Sha256.h"
#include "ini/ModelLookup.h"
#include "protocol/HexText.h"
#include "rom/RomHeader.h"
#include "seams/Utf8Path.h"

using nlohmann::json;

namespace {

constexpr int kBitsPerByteOnTheLine = 10;  // start bit, 8 data bits, stop bit
constexpr int kFirstSpace = 1;

std::string VersionText(std::uint16_t version) {
  char text[16];
  std::snprintf(text, sizeof text, "%X.%02X", version >> 8, version & 0xFFu);
  return text;
}

// The digest as digests are written: lower-case pairs without a separator.
std::string DigestText(const std::vector<std::uint8_t>& digest) {
  std::string text;
  for (std::uint8_t b : digest) text += ByteToHexPair(b);
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

json OptionalText(const std::optional<std::string>& value) {
  return value ? json(*value) : json(nullptr);
}

json PnpJson(const std::string& pnp) {
  const std::optional<PnpFields> fields = ParsePnpString(pnp.data(), static_cast<int>(pnp.size()));
  if (!fields) return nullptr;
  return {{"manufacturer", fields->manufacturer},
          {"product", fields->product},
          {"serialNumber", OptionalText(fields->serialNumber)},
          {"class", OptionalText(fields->deviceClass)},
          {"userName", OptionalText(fields->userName)},
          {"checksumCorrect", fields->checksumMatches}};
}

json SpacesJson(const CMainFrame& frame) {
  json spaces = json::array();
  for (int i = kFirstSpace; i < frame.Connection().spaceCount; ++i) {
    const FlashSpace& s = frame.Space(i);
    spaces.push_back({{"index", i},
                      {"cpu", s.spaceCpu},
                      {"descriptor", s.spaceDescriptor},
                      {"writable", s.spaceReadWrite != 0},
                      {"start", s.spaceStart},
                      {"size", s.spaceSize},
                      {"maxBlock", s.spaceMaxBlock}});
  }
  return spaces;
}

json ImageJson(const std::string& path, const std::vector<std::uint8_t>& bytes,
               const std::string& modelTable) {
  const RomFacts facts = ReadRomFacts(bytes, modelTable);
  const RomHeader& h = facts.header;
  const std::uint16_t module = h.ModuleCode();
  return {
      {"path", path},
      {"sha256", DigestText(Sha256(bytes))},
      {"fileBytes", facts.fileLength},
      {"magic", h.magic},
      {"headerBytes", h.declaredSize},
      {"loadAddress", h.LoadAddress()},
      {"upsId", h.UpsId()},
      {"model", facts.model.matched && facts.model.lastReadYielded ? json(facts.model.name) : json(nullptr)},
      {"moduleCode", module},
      {"moduleName", module < kNamedModules ? json(Text(ModuleNameId(module))) : json(nullptr)},
      {"version", VersionText(h.CodeVersion())},
      {"date", {h.DateFirst(), h.DateSecond(), h.Year()}},
      {"checksum",
       {{"correct", facts.ChecksumCorrect()},
        {"calculated", h.CalculatedChecksum()},
        {"stored", h.StoredChecksum()}}},
      {"romDataBytes", facts.romDataSize}};
}

double Seconds(CRunReport::StepClock::duration d) {
  return std::chrono::duration<double>(d).count();
}

}  // namespace

void CRunReport::Restart(std::string command) {
  command_ = std::move(command);
  start_ = WallClock::now();
  steps_.clear();
  boxes_.clear();
  programmed_ = {};
  verified_ = {};
}

void CRunReport::BeginStep(const CMainFrame& frame, const std::string& name) {
  SetModelTable(frame.App().modelTable);
  CaptureImage(frame);
  StartStep(name);
}

void CRunReport::EndStep(const CMainFrame& frame, const std::string& outcome) {
  CaptureImage(frame);
  if (steps_.empty() || !steps_.back().outcome.empty()) return;
  FinishStep(outcome);
  if (steps_.back().name == "connect" || steps_.back().name == "select-submodule") CaptureUps(frame);
}

void CRunReport::StartStep(const std::string& name) {
  steps_.push_back({name, {}, StepClock::now(), 0});
}

void CRunReport::FinishStep(const std::string& outcome) {
  Step& step = steps_.back();
  step.outcome = outcome;
  step.seconds = Seconds(StepClock::now() - step.begun);
}

void CRunReport::TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) {
  // Program UPS verifies within its own step: the first read-back ends the
  // programming step, which got that far only by succeeding.
  if (kind == TransferKind::Verifying && !steps_.empty() && steps_.back().name == "program" &&
      steps_.back().outcome.empty()) {
    FinishStep("ok");
    StartStep("verify");
  }
  Transfer& t = kind == TransferKind::Programming ? programmed_ : verified_;
  const StepClock::time_point now = StepClock::now();
  if (!t.seen) t.first = now;
  t.seen = true;
  t.last = now;
  t.done = done;
  t.total = total;
}

void CRunReport::CaptureImage(const CMainFrame& frame) {
  const std::string& path = frame.Rom().romFileName;
  if (path.empty() || path == imagePath_) return;
  std::vector<std::uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) return;
  imagePath_ = path;
  image_ = ImageJson(path, bytes, frame.App().modelTable);
}

void CRunReport::CaptureUps(const CMainFrame& frame) {
  const CConnectionState& conn = frame.Connection();
  if (conn.connected == 0) return;
  json versions = json::array();
  for (std::uint16_t v : conn.firmwareVersions) versions.push_back(VersionText(v));
  const ModelLookupResult model = LookupModel(conn.upsTypeCode, frame.App().modelTable);
  lineSpeed_ = conn.lineSpeed;
  ups_ = {{"plugAndPlay", PnpJson(conn.pnpString)},
          {"typeCode", conn.upsTypeCode},
          {"model", model.matched ? json(model.name) : json(nullptr)},
          {"lineSpeed", conn.lineSpeed},
          {"firmwareVersions", versions},
          {"flashSpaces", SpacesJson(frame)},
          {"route", {{"hops", conn.routeLength}, {"text", routeText_}}}};
}

json CRunReport::TransferJson() const {
  const double seconds = programmed_.seen ? Seconds(programmed_.last - programmed_.first) : 0;
  const double rate = seconds > 0 ? programmed_.done / seconds : 0;
  return {{"programmedBytes", programmed_.done},
          {"verifiedBytes", verified_.done},
          {"imageBytes", std::max(programmed_.total, verified_.total)},
          {"programSeconds", seconds},
          {"bytesPerSecond", rate},
          {"lineSpeed", lineSpeed_},
          {"wireLimitBytesPerSecond", lineSpeed_ / kBitsPerByteOnTheLine}};
}

json CRunReport::Document(const std::string& tool, int exitStatus) const {
  json steps = json::array();
  for (const Step& s : steps_) {
    const double seconds = s.outcome.empty() ? Seconds(StepClock::now() - s.begun) : s.seconds;
    steps.push_back(
        {{"name", s.name}, {"outcome", s.outcome.empty() ? "unfinished" : s.outcome}, {"seconds", seconds}});
  }
  return {{"format", "tobrane-run-report/1"},
          {"tool", tool},
          {"command", command_},
          {"start", LocalTimeText(start_)},
          {"end", LocalTimeText(WallClock::now())},
          {"exitStatus", exitStatus},
          {"ups", ups_},
          {"image", image_},
          {"steps", steps},
          {"transfer", TransferJson()},
          {"messageBoxes", boxes_},
          {"modelTable", modelTable_.empty() ? json(nullptr) : json(modelTable_)}};
}

void CRunReport::SetModelTable(const std::string& path) {
  std::error_code error;
  modelTable_ = std::filesystem::exists(Utf8Path(path), error) ? path : std::string();
}

bool WriteRunReport(std::ostream& out, const json& document) {
  out << document.dump(2) << '\n';
  out.flush();
  return static_cast<bool>(out);
}

std::string LocalTimeText(CRunReport::WallClock::time_point when) {
  const std::time_t t = CRunReport::WallClock::to_time_t(when);
  std::tm local = *std::localtime(&t);
  std::tm utc = *std::gmtime(&t);
  utc.tm_isdst = local.tm_isdst;
  const long offset = static_cast<long>(std::difftime(t, std::mktime(&utc))) / 60;
  char text[40];
  const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  std::snprintf(text + n, sizeof text - n, "%c%02ld:%02ld", offset < 0 ? '-' : '+', std::labs(offset) / 60,
                std::labs(offset) % 60);
  return text;
}
