#include "sim/SimProfile.h"

#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

#ifndef TOBRANE_SIM_PROFILE_DIR
#define TOBRANE_SIM_PROFILE_DIR "sim/profiles"
#endif

using nlohmann::json;

namespace {

constexpr std::uint32_t kMaxSpaceBytes = 16u << 20;
constexpr const char* kRequestNames[] = {"authorization", "start-comm",     "id-block",      "config-block",
                                         "comm-params",   "set-comm-param", "service-mode",  "capabilities",
                                         "submodule",     "start-flash",    "program-block", "read-block",
                                         "end-flash",     "reset",          "unknown"};
constexpr const char* kFaultNames[] = {
    "no-reply",   "nack",  "repeat",  "terminate",   "wrong-block", "bad-checksum",  "garbage",
    "flip-flash", "delay", "hang-up", "short-reply", "oversize",    "unknown-status"};

// Reads typed fields of one JSON object and keeps the first error, named by
// its path in the file.
class CFieldReader {
 public:
  CFieldReader(const json& object, std::string path, std::string& error)
      : object_(object), path_(std::move(path)), error_(error) {}

  bool Has(const char* name) const { return object_.contains(name); }
  std::string Path(const char* name) const { return path_.empty() ? name : path_ + "." + name; }
  const json& At(const char* name) const { return object_.at(name); }

  bool Fail(const std::string& field, const std::string& what) {
    if (error_.empty()) error_ = "profile field \"" + field + "\": " + what;
    return false;
  }

  template <typename T>
  bool Unsigned(const char* name, T& out, bool required, std::uint64_t max = std::numeric_limits<T>::max()) {
    if (!Has(name)) return required ? Fail(Path(name), "missing") : true;
    return UnsignedValue(At(name), Path(name), out, max);
  }

  template <typename T>
  bool UnsignedValue(const json& value, const std::string& field, T& out,
                     std::uint64_t max = std::numeric_limits<T>::max()) {
    std::uint64_t v = 0;
    if (value.is_number_unsigned()) {
      v = value.get<std::uint64_t>();
    } else if (value.is_string()) {
      const std::string text = value.get<std::string>();
      std::size_t used = 0;
      if (text.empty() || !ParseNumber(text, v, used) || used != text.size())
        return Fail(field, "not a number: \"" + text + "\"");
    } else {
      return Fail(field, "expected an unsigned number");
    }
    if (v > max) return Fail(field, "out of range (at most " + std::to_string(max) + ")");
    out = static_cast<T>(v);
    return true;
  }

  bool Bool(const char* name, bool& out) {
    if (!Has(name)) return true;
    if (!At(name).is_boolean()) return Fail(Path(name), "expected true or false");
    out = At(name).get<bool>();
    return true;
  }

  bool Number(const char* name, double& out) {
    if (!Has(name)) return true;
    if (!At(name).is_number() || At(name).get<double>() < 0)
      return Fail(Path(name), "expected a number >= 0");
    out = At(name).get<double>();
    return true;
  }

  bool String(const char* name, std::string& out, bool required) {
    if (!Has(name)) return required ? Fail(Path(name), "missing") : true;
    if (!At(name).is_string()) return Fail(Path(name), "expected a string");
    out = At(name).get<std::string>();
    return true;
  }

  bool Bytes(const char* name, std::vector<std::uint8_t>& out, std::size_t maxCount) {
    if (!Has(name)) return true;
    const json& list = At(name);
    if (!list.is_array()) return Fail(Path(name), "expected an array of bytes");
    if (list.size() > maxCount) return Fail(Path(name), "more than " + std::to_string(maxCount) + " entries");
    out.clear();
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::uint8_t b = 0;
      if (!UnsignedValue(list[i], Path(name) + "[" + std::to_string(i) + "]", b)) return false;
      out.push_back(b);
    }
    return true;
  }

  bool Code(const char* name, std::array<std::uint8_t, 3>& out) {
    if (!Has(name)) return true;
    std::vector<std::uint8_t> bytes;
    if (!Bytes(name, bytes, 3)) return false;
    if (bytes.size() != 3) return Fail(Path(name), "expected 3 bytes");
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return true;
  }

  bool Character(const char* name, std::uint8_t& out) {
    if (!Has(name)) return true;
    if (!At(name).is_string() || At(name).get<std::string>().size() != 1)
      return Fail(Path(name), "expected a one-character string");
    out = static_cast<std::uint8_t>(At(name).get<std::string>()[0]);
    return true;
  }

  bool Array(const char* name, const json*& out, bool required) {
    out = nullptr;
    if (!Has(name)) return required ? Fail(Path(name), "missing") : true;
    if (!At(name).is_array()) return Fail(Path(name), "expected an array");
    out = &At(name);
    return true;
  }

  bool Object(const char* name, const json*& out, bool required) {
    out = nullptr;
    if (!Has(name)) return required ? Fail(Path(name), "missing") : true;
    if (!At(name).is_object()) return Fail(Path(name), "expected an object");
    out = &At(name);
    return true;
  }

 private:
  static bool ParseNumber(const std::string& text, std::uint64_t& v, std::size_t& used) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    v = 0;
    used = hex ? 2 : 0;
    for (; used < text.size(); ++used) {
      const char c = text[used];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) return false;
      if (v > (std::numeric_limits<std::uint32_t>::max() >> 4)) return false;
      v = v * (hex ? 16 : 10) + digit;
    }
    return used > (hex ? 2u : 0u);
  }

  const json& object_;
  std::string path_;
  std::string& error_;
};

std::string Indexed(const std::string& path, std::size_t i) {
  return path + "[" + std::to_string(i) + "]";
}

bool ReadSpace(const json& value, const std::string& path, SimSpace& space, std::string& error) {
  CFieldReader r(value, path, error);
  if (!value.is_object()) return r.Fail(path, "expected an object");
  if (!r.Unsigned("descriptor", space.descriptor, true) || !r.Unsigned("maxBlock", space.maxBlock, true) ||
      !r.Unsigned("start", space.start, true) || !r.Unsigned("size", space.size, true, kMaxSpaceBytes))
    return false;
  if (space.size == 0) return r.Fail(r.Path("size"), "must not be 0");
  if (std::uint64_t{space.start} + space.size > (std::uint64_t{1} << 32))
    return r.Fail(r.Path("size"), "space runs past the 32-bit address range");
  return true;
}

bool Overlap(const SimSpace& a, const SimSpace& b) {
  return std::uint64_t{a.start} < std::uint64_t{b.start} + b.size &&
         std::uint64_t{b.start} < std::uint64_t{a.start} + a.size;
}

bool ReadCpu(const json& value, const std::string& path, SimCpu& cpu, std::string& error) {
  CFieldReader r(value, path, error);
  if (!value.is_object()) return r.Fail(path, "expected an object");
  const json* spaces = nullptr;
  if (!r.Unsigned("cpu", cpu.cpu, true, 11) || !r.Array("spaces", spaces, true)) return false;
  cpu.reportsAs = cpu.cpu;
  if (!r.Unsigned("reportsAs", cpu.reportsAs, false) || !r.Bytes("tail", cpu.tail, 12)) return false;
  if (spaces->size() > 31) return r.Fail(r.Path("spaces"), "more than 31 spaces");
  for (std::size_t i = 0; i < spaces->size(); ++i) {
    SimSpace space;
    if (!ReadSpace((*spaces)[i], Indexed(r.Path("spaces"), i), space, error)) return false;
    for (std::size_t j = 0; j < cpu.spaces.size(); ++j)
      if (Overlap(space, cpu.spaces[j]))
        return r.Fail(Indexed(r.Path("spaces"), i), "overlaps " + Indexed(r.Path("spaces"), j));
    cpu.spaces.push_back(space);
  }
  return true;
}

bool ReadVersions(CFieldReader& r, SimUnitProfile& unit, std::string& error) {
  const json* list = nullptr;
  if (!r.Array("controllers", list, true)) return false;
  if (list->size() > 11) return r.Fail(r.Path("controllers"), "more than 11 controllers");
  for (std::size_t i = 0; i < list->size(); ++i) {
    CFieldReader v((*list)[i], Indexed(r.Path("controllers"), i), error);
    if (!(*list)[i].is_object()) return v.Fail(Indexed(r.Path("controllers"), i), "expected an object");
    SimVersion version;
    if (!v.Unsigned("major", version.major, true) || !v.Unsigned("minor", version.minor, true)) return false;
    unit.controllers.push_back(version);
  }
  return true;
}

bool ReadUnit(const json& value, const std::string& path, SimUnitProfile& unit, std::string& error) {
  CFieldReader r(value, path, error);
  if (!value.is_object()) return r.Fail(path, "expected an object");
  const json* startComm = nullptr;
  const json* service = nullptr;
  const json* cpus = nullptr;
  if (!ReadVersions(r, unit, error) || !r.Unsigned("typeCode", unit.typeCode, true) ||
      !r.Bytes("configTail", unit.configTail, 128) || !r.Object("startComm", startComm, false) ||
      !r.Object("serviceMode", service, false) || !r.Array("cpus", cpus, true))
    return false;
  if (startComm) {
    CFieldReader s(*startComm, r.Path("startComm"), error);
    if (!s.Unsigned("block", unit.startCommBlock, true) || !s.Bytes("data", unit.startCommData, 300))
      return false;
    if (unit.startCommBlock == 0) return s.Fail(s.Path("block"), "must not be 0");
  }
  if (service) {
    CFieldReader s(*service, r.Path("serviceMode"), error);
    if (!s.Code("code", unit.serviceModeCode) || !s.Character("ack", unit.serviceModeAck) ||
        !s.Bool("requiredForFlash", unit.flashNeedsServiceMode))
      return false;
  }
  for (std::size_t i = 0; i < cpus->size(); ++i) {
    SimCpu cpu;
    if (!ReadCpu((*cpus)[i], Indexed(r.Path("cpus"), i), cpu, error)) return false;
    unit.cpus.push_back(std::move(cpu));
  }
  return true;
}

bool ReadLine(CFieldReader& top, SimLine& line, std::string& error) {
  const json* object = nullptr;
  if (!top.Object("line", object, false)) return false;
  if (!object) return true;
  CFieldReader r(*object, "line", error);
  double ber = 0;
  if (!r.Bool("pacing", line.pacing) || !r.Unsigned("latencyMs", line.latencyMs, false, 60000) ||
      !r.Unsigned("hopLatencyMs", line.hopLatencyMs, false, 60000) ||
      !r.Unsigned("splitDataBytes", line.splitDataBytes, false, 140) ||
      !r.Unsigned("chunkMaxBytes", line.chunkMaxBytes, false, 4096) || !r.Number("bitErrorRate", ber) ||
      !r.Unsigned("seed", line.seed, false) || !r.Unsigned("pnpDelayMs", line.pnpDelayMs, false, 60000))
    return false;
  if (line.splitDataBytes == 0) return r.Fail(r.Path("splitDataBytes"), "must be 1 to 140");
  if (ber > 1) return r.Fail(r.Path("bitErrorRate"), "must be 0 to 1");
  line.bitErrorRate = ber;
  return true;
}

template <std::size_t N>
bool EnumByName(const char* const (&names)[N], const std::string& name, int& out) {
  for (std::size_t i = 0; i < N; ++i)
    if (name == names[i]) {
      out = static_cast<int>(i);
      return true;
    }
  return false;
}

bool ReadFault(const json& value, const std::string& path, SimFault& fault, std::string& error) {
  CFieldReader r(value, path, error);
  if (!value.is_object()) return r.Fail(path, "expected an object");
  std::string request;
  std::string kind;
  if (!r.String("request", request, true) || !r.String("fault", kind, true)) return false;
  int index = 0;
  if (!EnumByName(kRequestNames, request, index)) return r.Fail(r.Path("request"), "unknown request kind");
  fault.request = static_cast<SimRequestKind>(index);
  if (!EnumByName(kFaultNames, kind, index)) return r.Fail(r.Path("fault"), "unknown fault kind");
  fault.fault = static_cast<SimFaultKind>(index);
  if (!r.Unsigned("occurrence", fault.occurrence, true, 1'000'000) ||
      !r.Unsigned("count", fault.count, false, 1'000'000) ||
      !r.Unsigned("delayMs", fault.delayMs, false, 600000) ||
      !r.Unsigned("garbageBytes", fault.garbageBytes, false, 512) ||
      !r.Unsigned("byteIndex", fault.byteIndex, false, 127))
    return false;
  if (fault.occurrence == 0) return r.Fail(r.Path("occurrence"), "counts from 1");
  return true;
}

bool ReadRoutes(CFieldReader& top, const std::string& baseDir, SimProfile& profile, std::string& error);

bool ReadTop(const json& doc, const std::string& baseDir, SimProfile& profile, std::string& error) {
  CFieldReader r(doc, "", error);
  if (!doc.is_object()) return r.Fail("(top)", "expected an object");
  const json* unit = nullptr;
  const json* bauds = nullptr;
  const json* faults = nullptr;
  if (doc.contains("pnp") && doc.at("pnp").is_null()) {
    profile.pnp.clear();
  } else if (!r.String("pnp", profile.pnp, true)) {
    return false;
  }
  if (!r.Unsigned("startBaud", profile.startBaud, true) || !r.Array("offeredBauds", bauds, true) ||
      !r.Bool("switchesSpeed", profile.switchesSpeed) ||
      !r.Unsigned("commParamsBlock", profile.commParamsBlock, false) ||
      !r.Code("accessCode", profile.accessCode) ||
      !r.Unsigned("authorizationWindowMs", profile.authorizationWindowMs, false, 60000) ||
      !r.Object("unit", unit, true) || !ReadUnit(*unit, "unit", profile.unit, error) ||
      !ReadLine(r, profile.line, error) || !r.Array("faults", faults, false) ||
      !ReadRoutes(r, baseDir, profile, error))
    return false;
  if (profile.pnp.size() > 255) return r.Fail("pnp", "longer than 255 characters");
  if (bauds->empty() || bauds->size() > 16) return r.Fail("offeredBauds", "expected 1 to 16 speeds");
  profile.offeredBauds.clear();
  for (std::size_t i = 0; i < bauds->size(); ++i) {
    std::uint32_t baud = 0;
    if (!r.UnsignedValue((*bauds)[i], Indexed("offeredBauds", i), baud, 65535)) return false;
    profile.offeredBauds.push_back(baud);
  }
  for (std::size_t i = 0; faults && i < faults->size(); ++i) {
    SimFault fault;
    if (!ReadFault((*faults)[i], Indexed("faults", i), fault, error)) return false;
    profile.faults.push_back(fault);
  }
  return true;
}

bool ReadRouteUnit(CFieldReader& r, const std::string& baseDir, SimUnitProfile& unit, std::string& error) {
  const json* inline_ = nullptr;
  if (!r.Object("unit", inline_, false)) return false;
  if (inline_) return ReadUnit(*inline_, r.Path("unit"), unit, error);
  std::string file;
  if (!r.String("profile", file, true)) return false;
  std::ifstream in(baseDir + "/" + file);
  if (!in) return r.Fail(r.Path("profile"), "cannot read " + baseDir + "/" + file);
  std::stringstream text;
  text << in.rdbuf();
  const json doc = json::parse(text.str(), nullptr, false);
  if (doc.is_discarded()) return r.Fail(r.Path("profile"), file + " is not valid JSON");
  return ReadUnit(doc, file, unit, error);
}

bool ReadRoutes(CFieldReader& top, const std::string& baseDir, SimProfile& profile, std::string& error) {
  const json* routes = nullptr;
  if (!top.Array("routes", routes, false)) return false;
  for (std::size_t i = 0; routes && i < routes->size(); ++i) {
    const std::string path = Indexed("routes", i);
    CFieldReader r((*routes)[i], path, error);
    if (!(*routes)[i].is_object()) return r.Fail(path, "expected an object");
    SimRoute route;
    if (!r.Bytes("route", route.route, 3) || !r.Character("ack", route.ack)) return false;
    if (route.route.empty()) return r.Fail(r.Path("route"), "expected 1 to 3 bytes");
    if (!ReadRouteUnit(r, baseDir, route.unit, error)) return false;
    profile.routes.push_back(std::move(route));
  }
  return true;
}

}  // namespace

const char* SimRequestKindName(SimRequestKind kind) {
  return kRequestNames[static_cast<int>(kind)];
}

const char* SimFaultKindName(SimFaultKind kind) {
  return kFaultNames[static_cast<int>(kind)];
}

bool ParseSimProfile(const std::string& text, const std::string& baseDir, SimProfile& profile,
                     std::string& error) {
  error.clear();
  const json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    error = "profile is not valid JSON";
    return false;
  }
  SimProfile parsed;
  if (!ReadTop(doc, baseDir, parsed, error)) return false;
  profile = std::move(parsed);
  return true;
}

bool LoadSimProfile(const std::string& path, SimProfile& profile, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read profile " + path;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  const std::size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  if (ParseSimProfile(text.str(), dir, profile, error)) return true;
  error = path + ": " + error;
  return false;
}

bool LoadBundledSimProfile(const std::string& name, SimProfile& profile, std::string& error) {
  return LoadSimProfile(std::string(TOBRANE_SIM_PROFILE_DIR) + "/" + name + ".json", profile, error);
}
