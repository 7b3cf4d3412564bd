#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A pseudo-terminal: the test drives the master, the port opens the slave.
struct PtyPair {
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  void Write(const std::vector<std::uint8_t>& bytes) const;
  // Reads (real time, bounded) until count bytes came or the time ran out.
  std::vector<std::uint8_t> Read(std::size_t count) const;
  void CloseMaster();

  int master = -1;
  std::string slavePath;
};

// The speed the slave is set to, as the master sees it: the B-constant (or
// BOTHER) and the numeric output speed.
struct MasterSpeed {
  unsigned code = 0;
  unsigned numeric = 0;
};
MasterSpeed ReadMasterSpeed(int master);
extern const unsigned kCodeB1200;
extern const unsigned kCodeB19200;
extern const unsigned kCodeBOther;
