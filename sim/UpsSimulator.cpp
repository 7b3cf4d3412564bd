#include "sim/UpsSimulator.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "protocol/HexText.h"
#include "protocol/WireFormat.h"

namespace {

// More data bytes than the loader takes from one reply.
constexpr std::size_t kOversizeData = kReplyCapacityBytes + 1;
constexpr std::uint8_t kSimUnknownStatus = '?';  // neither 'R', 'X', 'N' nor the repeat code
constexpr std::uint32_t kMaxReadBytes = 256;

std::uint32_t Le32(const std::vector<std::uint8_t>& p, std::size_t at) {
  return p[at] | (p[at + 1] << 8) | (p[at + 2] << 16) | (std::uint32_t{p[at + 3]} << 24);
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

bool Writable(std::uint8_t descriptor) {
  const int access = descriptor >> 4;
  return access == 2 || access == 3;
}

bool Readable(std::uint8_t descriptor) {
  const int access = descriptor >> 4;
  return access == 1 || access == 3;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  return HexBytes(bytes.data(), bytes.size());
}

}  // namespace

std::uint8_t SimMismatchedByte(std::uint8_t byte) {
  return static_cast<std::uint8_t>(0xF0 | ((byte >> 4) ^ (byte & 0x0F)));
}

CUpsSimulator::CUpsSimulator(SimProfile profile)
    : profile_(std::move(profile)), baud_(profile_.startBaud), random_(profile_.line.seed) {
  units_.push_back(MakeUnit(profile_.unit, {}, kAckAccepted));
  for (const SimRoute& route : profile_.routes)
    units_.push_back(MakeUnit(route.unit, route.route, route.ack));
}

CUpsSimulator::Unit CUpsSimulator::MakeUnit(const SimUnitProfile& profile,
                                            const std::vector<std::uint8_t>& route, std::uint8_t ack) {
  Unit unit;
  unit.profile = profile;
  unit.route = route;
  unit.ack = ack;
  for (const SimCpu& cpu : profile.cpus)
    for (const SimSpace& space : cpu.spaces)
      unit.spaces[cpu.cpu].push_back(Space{space, std::vector<std::uint8_t>(space.size, 0xFF)});
  return unit;
}

CUpsSimulator::Unit& CUpsSimulator::Selected() {
  return units_[selected_];
}

std::int64_t CUpsSimulator::ByteUs(std::uint32_t baud) const {
  return baud == 0 ? 0 : 10'000'000 / baud;
}

void CUpsSimulator::ApplyPendingSwitch(std::int64_t nowUs) {
  if (pendingBaud_ == 0 || nowUs < switchAtUs_) return;
  baud_ = pendingBaud_;
  pendingBaud_ = 0;
  record_.speeds.push_back(baud_);
}

std::uint32_t CUpsSimulator::Baud(std::int64_t nowUs) {
  ApplyPendingSwitch(nowUs);
  return baud_;
}

std::vector<SimOutput> CUpsSimulator::OnHostLine(const SimHostLine& host, std::int64_t nowUs) {
  std::vector<SimOutput> out;
  ApplyPendingSwitch(nowUs);
  const SimHostLine before = host_;
  host_ = host;
  if (hungUp_ || profile_.pnp.empty()) return out;
  bool trigger = false;
  std::int64_t delayUs = std::int64_t{profile_.line.latencyMs} * 1000;
  if (host.modemLines) {
    // The enumeration is armed by DTR dropping and fires when RTS rises with DTR on.
    if (before.dtr && !host.dtr) pnpArmed_ = true;
    trigger = pnpArmed_ && host.dtr && host.rts && !before.rts;
  } else {
    trigger = host.baud == kPnpBaud && before.baud != kPnpBaud;
    delayUs = std::int64_t{profile_.line.pnpDelayMs} * 1000;
  }
  if (!trigger) return out;
  pnpArmed_ = false;
  ++record_.pnpSent;
  baud_ = kPnpBaud;
  pendingBaud_ = 0;
  record_.speeds.push_back(baud_);
  parser_.Reset();
  Emit(std::vector<std::uint8_t>(profile_.pnp.begin(), profile_.pnp.end()), nowUs + delayUs, kPnpBaud,
       kPnpDataBits, out);
  return out;
}

std::vector<SimOutput> CUpsSimulator::OnBytes(const std::uint8_t* bytes, std::size_t count,
                                              std::int64_t nowUs, const SimHostLine& host) {
  std::vector<SimOutput> out;
  if (hungUp_) return out;
  ApplyPendingSwitch(nowUs);
  host_ = host;
  const bool mismatch = host.baud != baud_ || (host.modemLines && host.dataBits != 8);
  if (mismatch) {
    record_.garbledBytes += static_cast<int>(count);
    parser_.Reset();
    return out;
  }
  std::vector<std::uint8_t> received(bytes, bytes + count);
  AddNoise(received);
  for (std::uint8_t b : received) {
    std::int64_t atUs = nowUs;
    if (profile_.line.pacing) {
      rxFreeUs_ = std::max(rxFreeUs_, nowUs) + ByteUs(baud_);
      atUs = rxFreeUs_;
    }
    SimRequest request;
    if (parser_.Feed(b, atUs, request)) Handle(request, atUs, out);
    if (hungUp_) break;
  }
  return out;
}

void CUpsSimulator::AddNoise(std::vector<std::uint8_t>& bytes) {
  const double ber = profile_.line.bitErrorRate;
  if (ber <= 0) return;
  std::bernoulli_distribution flip(ber);
  for (std::uint8_t& b : bytes)
    for (int bit = 0; bit < 8; ++bit)
      if (flip(random_)) b ^= static_cast<std::uint8_t>(1 << bit);
}

SimRequestKind CUpsSimulator::Classify(const SimRequest& request) const {
  const auto& p = request.params;
  switch (request.command) {
    case kAuthorizationCommand:
      return SimRequestKind::Authorization;
    case kStartCommCommand:
      return SimRequestKind::StartComm;
    case kIdBlockCommand:
      return SimRequestKind::IdBlock;
    case kConfigurationCommand:
      return SimRequestKind::ConfigBlock;
    case kCommParametersCommand:
      return SimRequestKind::CommParams;
    case kSetCommParameterCommand:
      return SimRequestKind::SetCommParam;
    case kRawCommand:
      return SimRequestKind::ServiceMode;
    case kSubmoduleCommand:
      return SimRequestKind::Submodule;
    case kResetCommand:
      return SimRequestKind::Reset;
    case kFlashCommand:
      if (p.empty()) return SimRequestKind::Unknown;
      switch (p[0]) {
        case kCapabilitiesOperation:
          return SimRequestKind::Capabilities;
        case kStartFlashOperation:
          return SimRequestKind::StartFlash;
        case kProgramOperation:
          return SimRequestKind::ProgramBlock;
        case kReadOperation:
          return SimRequestKind::ReadBlock;
        case kEndFlashOperation:
          return SimRequestKind::EndFlash;
        default:
          return SimRequestKind::Unknown;
      }
    default:
      return SimRequestKind::Unknown;
  }
}

std::vector<SimFault> CUpsSimulator::FaultsFor(SimRequestKind kind) {
  const int n = ++counts_[kind];
  std::vector<SimFault> due;
  for (const SimFault& f : profile_.faults)
    if (f.request == kind && n >= f.occurrence && n < f.occurrence + std::max(f.count, 1)) due.push_back(f);
  return due;
}

bool CUpsSimulator::Authorized(SimRequestKind kind, std::int64_t atUs) {
  const bool needs = kind == SimRequestKind::StartComm || kind == SimRequestKind::CommParams ||
                     kind == SimRequestKind::SetCommParam || kind == SimRequestKind::ServiceMode;
  if (!needs) return true;
  const bool ok = authorizedAtUs_ >= 0 && atUs - authorizedAtUs_ <= profile_.authorizationWindowMs * 1000LL;
  authorizedAtUs_ = -1;
  if (!ok) ++record_.unauthorized;
  return ok;
}

void CUpsSimulator::Handle(const SimRequest& request, std::int64_t atUs, std::vector<SimOutput>& out) {
  const SimRequestKind kind = Classify(request);
  record_.requests.push_back({atUs, kind, request.bytes, Selected().route});
  const std::vector<SimFault> faults = FaultsFor(kind);
  auto has = [&](SimFaultKind k) {
    return std::any_of(faults.begin(), faults.end(), [&](const SimFault& f) { return f.fault == k; });
  };
  if (has(SimFaultKind::NoReply)) return;
  Reply reply;
  if (has(SimFaultKind::Nack) || has(SimFaultKind::Repeat) || has(SimFaultKind::Terminate)) {
    const std::uint8_t code = has(SimFaultKind::Nack)     ? kFlashNackStatus
                              : has(SimFaultKind::Repeat) ? kFlashRepeatStatus
                                                          : kFlashTerminatedStatus;
    if (code == kFlashTerminatedStatus) Selected().session = nullptr;
    reply = {true, kFlashReplyBlock, {code}};
  } else {
    reply = Answer(kind, request, atUs);
  }
  std::int64_t startUs = atUs + (profile_.line.latencyMs +
                                 profile_.line.hopLatencyMs * static_cast<int>(Selected().route.size())) *
                                    1000LL;
  for (const SimFault& f : faults) {
    if (f.fault == SimFaultKind::Delay) startUs += f.delayMs * 1000LL;
    if (f.fault == SimFaultKind::FlipFlash && kind == SimRequestKind::ProgramBlock && Selected().session) {
      const std::uint32_t address = Le32(request.params, 3);
      Space& space = *Selected().session;
      const std::size_t n = request.params.size() - 7;
      space.memory[address - space.profile.start + static_cast<std::size_t>(f.byteIndex) % n] ^= 0x01;
    }
    if (f.fault == SimFaultKind::HangUp) {
      hungUp_ = true;
      record_.hungUp = true;
      out.push_back({startUs, {}, baud_, 8, true});
      return;
    }
  }
  if (!reply.send) return;
  if (has(SimFaultKind::ShortReply) && !reply.data.empty()) reply.data.pop_back();
  if (has(SimFaultKind::Oversize)) reply.data.resize(kOversizeData);
  if (has(SimFaultKind::UnknownStatus) && !reply.data.empty()) reply.data[0] = kSimUnknownStatus;
  if (has(SimFaultKind::WrongBlock))
    reply.block = reply.block == kAcknowledgeBlock ? 0x0A : kAcknowledgeBlock;
  std::vector<std::uint8_t> bytes =
      EncodeSimReply(reply.block, reply.data, static_cast<std::size_t>(profile_.line.splitDataBytes));
  if (has(SimFaultKind::BadChecksum)) bytes.back() = static_cast<std::uint8_t>(bytes.back() + 1);
  for (const SimFault& f : faults)
    if (f.fault == SimFaultKind::Garbage)
      bytes.insert(bytes.begin(), static_cast<std::size_t>(f.garbageBytes), std::uint8_t{0x5A});
  Emit(std::move(bytes), startUs, baud_, 8, out);
  if (pendingBaud_ != 0) switchAtUs_ = txFreeUs_;
}

void CUpsSimulator::Emit(std::vector<std::uint8_t> bytes, std::int64_t startUs, std::uint32_t baud,
                         int dataBits, std::vector<SimOutput>& out) {
  AddNoise(bytes);
  const SimLine& line = profile_.line;
  std::int64_t t = line.pacing ? std::max(startUs, txFreeUs_) : startUs;
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::size_t n = bytes.size() - i;
    if (line.chunkMaxBytes > 0) {
      std::uniform_int_distribution<std::size_t> pick(1, static_cast<std::size_t>(line.chunkMaxBytes));
      n = std::min(n, pick(random_));
    }
    if (line.pacing) t += ByteUs(baud) * static_cast<std::int64_t>(n);
    out.push_back(
        {t, std::vector<std::uint8_t>(bytes.begin() + i, bytes.begin() + i + n), baud, dataBits, false});
    i += n;
  }
  txFreeUs_ = std::max(txFreeUs_, t);
}

CUpsSimulator::Reply CUpsSimulator::Answer(SimRequestKind kind, const SimRequest& request,
                                           std::int64_t atUs) {
  if (!Authorized(kind, atUs)) return {};
  const auto& p = request.params;
  switch (kind) {
    case SimRequestKind::Authorization:
      if (p.size() == 3 && std::equal(p.begin(), p.end(), profile_.accessCode.begin()))
        authorizedAtUs_ = atUs;
      return {};
    case SimRequestKind::CommParams:
      if (p.size() != 1) return {true, kAcknowledgeBlock, {kAckInvalid}};
      return CommParams();
    case SimRequestKind::SetCommParam:
      return SetCommParam(request);
    case SimRequestKind::Submodule:
      return Submodule(request);
    case SimRequestKind::Unknown:
      return {true, kAcknowledgeBlock, {kAckUnrecognized}};
    default:
      return AnswerUnit(Selected(), kind, request, atUs);
  }
}

CUpsSimulator::Reply CUpsSimulator::CommParams() {
  std::vector<std::uint8_t> data{kCommParametersCommand,
                                 static_cast<std::uint8_t>(profile_.offeredBauds.size())};
  for (std::uint32_t baud : profile_.offeredBauds) {
    data.push_back(static_cast<std::uint8_t>(baud));
    data.push_back(static_cast<std::uint8_t>(baud >> 8));
  }
  data.push_back(static_cast<std::uint8_t>(baud_));
  data.push_back(static_cast<std::uint8_t>(baud_ >> 8));
  while (data.size() < 7) data.push_back(0);
  return {true, profile_.commParamsBlock, data};
}

CUpsSimulator::Reply CUpsSimulator::SetCommParam(const SimRequest& request) {
  const auto& p = request.params;
  if (p.size() != 4 || p[0] != 0x00 || p[1] != 0x01) return {true, kAcknowledgeBlock, {kAckInvalid}};
  const std::uint32_t baud = p[2] | (p[3] << 8);
  const auto& offered = profile_.offeredBauds;
  if (std::find(offered.begin(), offered.end(), baud) == offered.end())
    return {true, kAcknowledgeBlock, {kAckOutOfRange}};
  // The switch takes effect once the acknowledgement has gone out.
  if (profile_.switchesSpeed) pendingBaud_ = baud;
  return {true, kAcknowledgeBlock, {kAckAccepted}};
}

CUpsSimulator::Reply CUpsSimulator::Submodule(const SimRequest& request) {
  const std::vector<std::uint8_t>& route = request.params;
  if (route.empty() || route.size() > 3) return {true, kAcknowledgeBlock, {kAckInvalid}};
  for (std::size_t i = 1; i < units_.size(); ++i)
    if (units_[i].route == route) {
      if (units_[i].ack == kAckAccepted) {
        selected_ = i;
        record_.route = route;
      }
      return {true, kAcknowledgeBlock, {units_[i].ack}};
    }
  return {true, kAcknowledgeBlock, {kAckSubmoduleTimeout}};
}

CUpsSimulator::Reply CUpsSimulator::AnswerUnit(Unit& unit, SimRequestKind kind, const SimRequest& request,
                                               std::int64_t atUs) {
  const auto& p = request.params;
  const SimUnitProfile& profile = unit.profile;
  switch (kind) {
    case SimRequestKind::StartComm:
      return {true, profile.startCommBlock, profile.startCommData};
    case SimRequestKind::IdBlock: {
      std::vector<std::uint8_t> data{static_cast<std::uint8_t>(profile.controllers.size())};
      for (const SimVersion& v : profile.controllers) {
        data.push_back(v.minor);
        data.push_back(v.major);
      }
      return {true, kIdReplyBlock, data};
    }
    case SimRequestKind::ConfigBlock: {
      std::vector<std::uint8_t> data{static_cast<std::uint8_t>(profile.typeCode),
                                     static_cast<std::uint8_t>(profile.typeCode >> 8)};
      data.insert(data.end(), profile.configTail.begin(), profile.configTail.end());
      return {true, kConfigurationReplyBlock, data};
    }
    case SimRequestKind::ServiceMode: {
      if (p.size() != 3) return {true, kAcknowledgeBlock, {kAckInvalid}};
      if (!std::equal(p.begin(), p.end(), profile.serviceModeCode.begin()))
        return {true, kAcknowledgeBlock, {kAckInvalid}};
      unit.serviceMode = true;
      return {true, kAcknowledgeBlock, {profile.serviceModeAck}};
    }
    case SimRequestKind::Reset:
      if (p.size() != 1) return {true, kAcknowledgeBlock, {kAckInvalid}};
      record_.resets.push_back({atUs, p[0], unit.route});
      unit.session = nullptr;
      unit.serviceMode = false;
      return {};
    default:
      return AnswerFlash(unit, kind, request);
  }
}

CUpsSimulator::Space* CUpsSimulator::FindSpace(Unit& unit, int module, std::uint8_t descriptor,
                                               std::uint32_t address, std::uint32_t count) {
  for (auto& [cpu, spaces] : unit.spaces) {
    if (module != 0 && cpu != module) continue;
    for (Space& space : spaces) {
      const std::uint8_t d = space.profile.descriptor;
      if (d != descriptor && !(d == 0 && descriptor == kZeroDescriptorStandIn)) continue;
      const std::uint64_t end = std::uint64_t{address} + count;
      if (address >= space.profile.start && end <= std::uint64_t{space.profile.start} + space.profile.size)
        return &space;
    }
  }
  return nullptr;
}

CUpsSimulator::Reply CUpsSimulator::AnswerFlash(Unit& unit, SimRequestKind kind, const SimRequest& request) {
  const auto& p = request.params;
  const Reply nack{true, kFlashReplyBlock, {kFlashNackStatus}};
  switch (kind) {
    case SimRequestKind::Capabilities: {
      if (p.size() != 2) return nack;
      for (const SimCpu& cpu : unit.profile.cpus) {
        if (cpu.cpu != p[1]) continue;
        std::vector<std::uint8_t> data{kCapabilitiesOperation, cpu.reportsAs};
        for (const SimSpace& s : cpu.spaces) {
          data.push_back(s.descriptor);
          PutLe32(data, s.maxBlock);
          PutLe32(data, s.start);
          PutLe32(data, s.size);
        }
        data.insert(data.end(), cpu.tail.begin(), cpu.tail.end());
        return {true, kFlashReplyBlock, data};
      }
      return {true, kAcknowledgeBlock, {kAckSubmoduleTimeout}};
    }
    case SimRequestKind::StartFlash: {
      if (p.size() != 11) return nack;
      Space* space = FindSpace(unit, p[1], p[2], Le32(p, 3), 1);
      if (!space || space->profile.descriptor != p[2] || Le32(p, 7) != space->profile.size ||
          !Writable(space->profile.descriptor) || (unit.profile.flashNeedsServiceMode && !unit.serviceMode))
        return nack;
      std::fill(space->memory.begin(), space->memory.end(), 0xFF);
      unit.session = space;
      return {true, kFlashReplyBlock, {kStartFlashOperation}};
    }
    case SimRequestKind::ProgramBlock: {
      if (p.size() < 8 || p.size() > 7 + kMaxTransferBlockBytes) return nack;
      const std::uint32_t n = static_cast<std::uint32_t>(p.size() - 7);
      Space* space = FindSpace(unit, p[1], p[2], Le32(p, 3), n);
      if (!space || space != unit.session || n > space->profile.maxBlock) return nack;
      // Flash programming only clears bits; an erased cell takes the data as sent.
      const std::uint32_t at = Le32(p, 3) - space->profile.start;
      for (std::uint32_t i = 0; i < n; ++i) space->memory[at + i] &= p[7 + i];
      return {true, kFlashReplyBlock, {kProgramOperation}};
    }
    case SimRequestKind::ReadBlock: {
      if (p.size() != 11) return nack;
      const std::uint32_t address = Le32(p, 3);
      const std::uint32_t n = Le32(p, 7);
      Space* space = n == 0 || n > kMaxReadBytes ? nullptr : FindSpace(unit, p[1], p[2], address, n);
      if (!space || !Readable(space->profile.descriptor)) return nack;
      std::vector<std::uint8_t> data(p.begin(), p.end());
      const auto from = space->memory.begin() + (address - space->profile.start);
      data.insert(data.end(), from, from + n);
      return {true, kFlashReplyBlock, data};
    }
    case SimRequestKind::EndFlash:
      if (p.size() != 2) return nack;
      unit.session = nullptr;
      return {true, kFlashReplyBlock, {kEndFlashOperation}};
    default:
      return {true, kAcknowledgeBlock, {kAckUnrecognized}};
  }
}

bool CUpsSimulator::InServiceMode(const std::vector<std::uint8_t>& route) const {
  for (const Unit& unit : units_)
    if (unit.route == route) return unit.serviceMode;
  return false;
}

int CUpsSimulator::Count(SimRequestKind kind) const {
  const auto it = counts_.find(kind);
  return it == counts_.end() ? 0 : it->second;
}

std::vector<std::uint8_t> CUpsSimulator::ReadFlash(const std::vector<std::uint8_t>& route, int cpu,
                                                   std::uint32_t address, std::size_t count) const {
  for (const Unit& unit : units_) {
    if (unit.route != route) continue;
    const auto it = unit.spaces.find(cpu);
    if (it == unit.spaces.end()) return {};
    for (const Space& space : it->second) {
      const std::uint64_t end = std::uint64_t{address} + count;
      if (address < space.profile.start || end > std::uint64_t{space.profile.start} + space.profile.size)
        continue;
      const auto from = space.memory.begin() + (address - space.profile.start);
      return {from, from + static_cast<std::ptrdiff_t>(count)};
    }
  }
  return {};
}

std::string CUpsSimulator::StateJson() const {
  using nlohmann::json;
  json state;
  json requests = json::array();
  for (const SimRequestRecord& r : record_.requests)
    requests.push_back({{"atMs", r.atUs / 1000},
                        {"kind", SimRequestKindName(r.kind)},
                        {"hex", Hex(r.bytes)},
                        {"route", r.route}});
  json resets = json::array();
  for (const SimResetRecord& r : record_.resets)
    resets.push_back({{"atMs", r.atUs / 1000}, {"module", r.module}, {"route", r.route}});
  json flash = json::array();
  for (const Unit& unit : units_)
    for (const auto& [cpu, spaces] : unit.spaces)
      for (const Space& space : spaces)
        flash.push_back({{"route", unit.route},
                         {"cpu", cpu},
                         {"descriptor", space.profile.descriptor},
                         {"start", space.profile.start},
                         {"size", space.profile.size},
                         {"hex", Hex(space.memory)}});
  state["requests"] = requests;
  state["resets"] = resets;
  state["route"] = record_.route;
  state["speeds"] = record_.speeds;
  state["flash"] = flash;
  state["garbledBytes"] = record_.garbledBytes;
  state["badChecksums"] = parser_.BadChecksums();
  state["unauthorized"] = record_.unauthorized;
  state["pnpSent"] = record_.pnpSent;
  state["hungUp"] = record_.hungUp;
  return state.dump(1);
}
