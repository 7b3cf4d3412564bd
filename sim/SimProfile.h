#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/WireFormat.h"

// What a simulated UPS is, as read from a JSON profile (sim/profiles/).

struct SimSpace {
  std::uint8_t descriptor = 0x33;  // low nibble memory type, high nibble access
  std::uint32_t maxBlock = 128;
  std::uint32_t start = 0;
  std::uint32_t size = 0;
};

struct SimCpu {
  std::uint8_t cpu = 1;
  std::uint8_t reportsAs = 1;  // the CPU number its capabilities block names
  std::vector<SimSpace> spaces;
  std::vector<std::uint8_t> tail;  // bytes after the last space: a descriptor cut short
};

struct SimVersion {
  std::uint8_t major = 0;
  std::uint8_t minor = 0;
};

// One addressable unit: the UPS itself, or a module behind a route.
struct SimUnitProfile {
  std::uint8_t startCommBlock = kAcknowledgeBlock;
  std::vector<std::uint8_t> startCommData{kAckAccepted};
  std::vector<SimVersion> controllers;  // the ID block, at most 11
  std::uint16_t typeCode = 0;
  std::vector<std::uint8_t> configTail;
  std::array<std::uint8_t, 3> serviceModeCode{kServiceModeCode[0], kServiceModeCode[1], kServiceModeCode[2]};
  std::uint8_t serviceModeAck = kAckAccepted;
  bool flashNeedsServiceMode = true;
  std::vector<SimCpu> cpus;
};

struct SimRoute {
  std::vector<std::uint8_t> route;  // 1 to 3 bytes
  std::uint8_t ack = kAckAccepted;
  SimUnitProfile unit;
};

enum class SimRequestKind {
  Authorization,
  StartComm,
  IdBlock,
  ConfigBlock,
  CommParams,
  SetCommParam,
  ServiceMode,
  Capabilities,
  Submodule,
  StartFlash,
  ProgramBlock,
  ReadBlock,
  EndFlash,
  Reset,
  Unknown,
};

enum class SimFaultKind {
  NoReply,
  Nack,       // 'N'
  Repeat,     // 0x09
  Terminate,  // 'X'
  WrongBlock,
  BadChecksum,
  Garbage,    // bytes before the frame
  FlipFlash,  // a program block is stored with one byte changed
  Delay,
  HangUp,         // the line goes dead instead of the reply
  ShortReply,     // the reply's last data byte is left off
  Oversize,       // the reply's data are padded to more than a reply may carry
  UnknownStatus,  // the reply's status byte is none the loader knows; its data stay
};

// Fires on occurrences occurrence .. occurrence + count - 1 of its request kind.
struct SimFault {
  SimRequestKind request = SimRequestKind::ProgramBlock;
  int occurrence = 1;
  int count = 1;
  SimFaultKind fault = SimFaultKind::NoReply;
  int delayMs = 3000;
  int garbageBytes = 8;
  int byteIndex = 0;
};

// Line realism; all off by default so that replies come at once.
struct SimLine {
  bool pacing = false;  // 10 bit times per byte at the current speed
  int latencyMs = 0;
  int hopLatencyMs = 0;      // added per route byte
  int splitDataBytes = 140;  // data bytes per reply frame
  int chunkMaxBytes = 0;     // 0: a reply is delivered in one piece
  double bitErrorRate = 0;
  std::uint32_t seed = 1;
  int pnpDelayMs = 300;  // after a speed-only trigger (pty)
};

struct SimProfile {
  std::string pnp;  // empty: the UPS sends no Plug-and-Play string
  std::uint32_t startBaud = 19200;
  std::vector<std::uint32_t> offeredBauds{1200, 2400, 9600, 19200};
  bool switchesSpeed = true;
  std::uint8_t commParamsBlock = kCommParametersCommand;
  std::array<std::uint8_t, 3> accessCode{kAuthorizationAccessCode[0], kAuthorizationAccessCode[1],
                                         kAuthorizationAccessCode[2]};
  int authorizationWindowMs = 1000;
  SimUnitProfile unit;
  std::vector<SimRoute> routes;
  SimLine line;
  std::vector<SimFault> faults;
};

const char* SimRequestKindName(SimRequestKind kind);
const char* SimFaultKindName(SimFaultKind kind);

// Parses a profile; baseDir resolves route profiles named by file. On failure
// error names the field at fault.
bool ParseSimProfile(const std::string& text, const std::string& baseDir, SimProfile& profile,
                     std::string& error);
bool LoadSimProfile(const std::string& path, SimProfile& profile, std::string& error);
// A profile shipped in sim/profiles, by name without ".json".
bool LoadBundledSimProfile(const std::string& name, SimProfile& profile, std::string& error);
