#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimProfile.h"

// One run of the fault-matrix soak: program an image (verify on or off)
// against the in-process simulator under a fault plan drawn from a seed.

enum class SoakOutcome {
  Success,            // programmed (and verified), flash equals the image
  ShownFailure,       // a red transcript and a message box or the abort line
  WrongFlashSuccess,  // reported a success, flash differs from the image
  HiddenFailure,      // no success, yet no red transcript or no message box
  Overran,            // still running at the simulated-time bound
};
inline constexpr int kSoakOutcomes = 5;

const char* SoakOutcomeName(SoakOutcome outcome);
// Only these two endings are sound; with verify off a wrong flash after an
// acknowledged block cannot be seen, so it is counted, not forbidden.
bool SoakOutcomeSound(SoakOutcome outcome, bool verify);

struct SoakPlan {
  std::vector<SimFault> faults;
  double bitErrorRate = 0;
};

// The fault kinds a plan draws from, with line noise as the last row.
inline constexpr int kSoakFaultRows = 11;
const char* SoakRowName(int row);
std::vector<int> SoakRows(const SoakPlan& plan);

SoakPlan DrawSoakPlan(std::uint32_t seed);
std::string DescribeSoakPlan(const SoakPlan& plan);

struct SoakRun {
  SoakOutcome outcome = SoakOutcome::Success;
  std::int64_t simulatedMs = 0;
  std::string transcript;
  std::vector<std::string> boxes;
};

SoakRun RunSoak(std::uint32_t seed, bool verify);

// Counts of outcomes by fault row, over many runs.
class CSoakMatrix {
 public:
  void Add(const SoakPlan& plan, SoakOutcome outcome);
  int Count(int row, SoakOutcome outcome) const;
  int Total(SoakOutcome outcome) const;
  int Runs() const { return runs_; }
  // A Markdown table: fault kind by outcome.
  std::string Table() const;

 private:
  std::array<std::array<int, kSoakOutcomes>, kSoakFaultRows> counts_{};
  std::array<int, kSoakOutcomes> totals_{};
  int runs_ = 0;
};
