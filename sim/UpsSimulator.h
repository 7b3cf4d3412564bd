#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "sim/SimFrames.h"
#include "sim/SimProfile.h"

// The UPS protocol engine, fed with what arrives on the line and answering
// with timed reply bytes. It knows only the bytes and the host's line
// settings, never the loader's internals.
//
//   SimProfile profile;  LoadBundledSimProfile("default", profile, error);
//   profile.faults.push_back({SimRequestKind::ProgramBlock, 2, 1, SimFaultKind::Nack});
//   CUpsSimulator ups(profile);
//   auto out = ups.OnBytes(bytes, n, nowUs, host);  // reply pieces, each with its time
//   ups.Record().requests / ups.ReadFlash({}, 1, 0x8000, 16) / ups.StateJson()
//
// CSimDevice (sim/SimDevice.h) puts it under CSerialPort on the virtual clock.

// The host's side of the line as the UPS can sense it.
struct SimHostLine {
  std::uint32_t baud = 19200;
  int dataBits = 8;
  bool dtr = false;
  bool rts = false;
  bool modemLines = true;  // false over a pty: data bits and DTR/RTS are unknown
};

// Bytes the UPS puts on the line, complete at atUs, sent at baud/dataBits.
struct SimOutput {
  std::int64_t atUs = 0;
  std::vector<std::uint8_t> bytes;
  std::uint32_t baud = 0;
  int dataBits = 8;
  bool hangUp = false;  // the line goes dead at atUs
};

struct SimRequestRecord {
  std::int64_t atUs = 0;
  SimRequestKind kind = SimRequestKind::Unknown;
  std::vector<std::uint8_t> bytes;
  std::vector<std::uint8_t> route;
};

struct SimResetRecord {
  std::int64_t atUs = 0;
  std::uint8_t module = 0;
  std::vector<std::uint8_t> route;
};

struct SimRecord {
  std::vector<SimRequestRecord> requests;
  std::vector<SimResetRecord> resets;
  std::vector<std::uint8_t> route;
  std::vector<std::uint32_t> speeds;  // every speed the UPS switched to
  int garbledBytes = 0;               // bytes received at a mismatched line
  int unauthorized = 0;               // requests refused for want of the authorization frame
  int pnpSent = 0;
  bool hungUp = false;
};

// Returns a byte as a receiver at the wrong speed or character size sees it:
// never a start byte nor a parenthesis.
std::uint8_t SimMismatchedByte(std::uint8_t byte);

class CUpsSimulator {
 public:
  explicit CUpsSimulator(SimProfile profile);

  std::vector<SimOutput> OnBytes(const std::uint8_t* bytes, std::size_t count, std::int64_t nowUs,
                                 const SimHostLine& host);
  // Line settings or control lines changed; may start the Plug-and-Play string.
  std::vector<SimOutput> OnHostLine(const SimHostLine& host, std::int64_t nowUs);
  bool Dsr(const SimHostLine& host) const { return host.dtr; }

  void AddFault(const SimFault& fault) { profile_.faults.push_back(fault); }
  SimLine& Line() { return profile_.line; }
  std::uint32_t Baud(std::int64_t nowUs);
  bool InServiceMode(const std::vector<std::uint8_t>& route = {}) const;

  const SimRecord& Record() const { return record_; }
  // Drops what was recorded so far, so that a long run's memory stays flat;
  // flash, counts and state are kept.
  void ForgetRecord() { record_ = SimRecord{}; }
  int BadChecksums() const { return parser_.BadChecksums(); }
  int Count(SimRequestKind kind) const;
  // Flash of one space of a unit, erased bytes 0xFF; empty when no space holds the range.
  std::vector<std::uint8_t> ReadFlash(const std::vector<std::uint8_t>& route, int cpu, std::uint32_t address,
                                      std::size_t count) const;
  std::string StateJson() const;

 private:
  struct Space {
    SimSpace profile;
    std::vector<std::uint8_t> memory;
  };
  struct Unit {
    SimUnitProfile profile;
    std::vector<std::uint8_t> route;
    std::uint8_t ack = '1';
    std::map<int, std::vector<Space>> spaces;  // by CPU number
    bool serviceMode = false;
    Space* session = nullptr;
  };
  struct Reply {
    bool send = false;
    std::uint8_t block = 0;
    std::vector<std::uint8_t> data;
  };

  static Unit MakeUnit(const SimUnitProfile& profile, const std::vector<std::uint8_t>& route,
                       std::uint8_t ack);
  void Handle(const SimRequest& request, std::int64_t atUs, std::vector<SimOutput>& out);
  SimRequestKind Classify(const SimRequest& request) const;
  bool Authorized(SimRequestKind kind, std::int64_t atUs);
  Reply Answer(SimRequestKind kind, const SimRequest& request, std::int64_t atUs);
  Reply AnswerUnit(Unit& unit, SimRequestKind kind, const SimRequest& request, std::int64_t atUs);
  Reply AnswerFlash(Unit& unit, SimRequestKind kind, const SimRequest& request);
  Reply CommParams();
  Reply SetCommParam(const SimRequest& request);
  Reply Submodule(const SimRequest& request);
  Space* FindSpace(Unit& unit, int module, std::uint8_t descriptor, std::uint32_t address,
                   std::uint32_t count);
  std::vector<SimFault> FaultsFor(SimRequestKind kind);
  void Emit(std::vector<std::uint8_t> bytes, std::int64_t startUs, std::uint32_t baud, int dataBits,
            std::vector<SimOutput>& out);
  void AddNoise(std::vector<std::uint8_t>& bytes);
  std::int64_t ByteUs(std::uint32_t baud) const;
  void ApplyPendingSwitch(std::int64_t nowUs);
  Unit& Selected();

  SimProfile profile_;
  std::vector<Unit> units_;  // 0 is the UPS itself, then one per route
  std::size_t selected_ = 0;
  CSimRequestParser parser_;
  SimRecord record_;
  std::map<SimRequestKind, int> counts_;
  std::uint32_t baud_;
  std::uint32_t pendingBaud_ = 0;
  std::int64_t switchAtUs_ = 0;
  std::int64_t authorizedAtUs_ = -1;
  std::int64_t rxFreeUs_ = 0;
  std::int64_t txFreeUs_ = 0;
  SimHostLine host_;
  bool pnpArmed_ = false;
  bool hungUp_ = false;
  std::mt19937 random_;
};
