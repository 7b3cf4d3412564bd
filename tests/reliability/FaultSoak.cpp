#include "FaultSoak.h"

#include <random>
#include <sstream>

#include "TestRig.h"
#include "app/CommandIds.h"
#include "resources/Strings.h"

namespace {

constexpr std::uint32_t kLoad = 0x8000;
constexpr std::uint32_t kImageSize = 2048;
constexpr int kBlocks = kImageSize / 128;
// Far beyond the slowest sound run: every block at its full retry budget.
constexpr std::int64_t kBoundMs = 30 * 60 * 1000;

constexpr SimFaultKind kKinds[] = {
    SimFaultKind::NoReply,    SimFaultKind::Nack,          SimFaultKind::Repeat,  SimFaultKind::Terminate,
    SimFaultKind::WrongBlock, SimFaultKind::BadChecksum,   SimFaultKind::Garbage, SimFaultKind::FlipFlash,
    SimFaultKind::Delay,      SimFaultKind::UnknownStatus,
};
constexpr int kNoiseRow = kSoakFaultRows - 1;
static_assert(std::size(kKinds) == kNoiseRow);

constexpr SimRequestKind kTargets[] = {SimRequestKind::ProgramBlock, SimRequestKind::ProgramBlock,
                                       SimRequestKind::ReadBlock,    SimRequestKind::ReadBlock,
                                       SimRequestKind::StartFlash,   SimRequestKind::EndFlash};

constexpr const char* kOutcomeNames[kSoakOutcomes] = {"success", "failure shown", "success, wrong flash",
                                                      "failure not shown", "overran"};

int Uniform(std::mt19937& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

SimFault DrawFault(std::mt19937& random) {
  SimFault fault;
  fault.fault = kKinds[Uniform(random, 0, kNoiseRow - 1)];
  if (fault.fault == SimFaultKind::FlipFlash) {
    fault.request = SimRequestKind::ProgramBlock;
  } else if (fault.fault == SimFaultKind::UnknownStatus) {
    fault.request = SimRequestKind::ReadBlock;
  } else {
    fault.request = kTargets[Uniform(random, 0, std::size(kTargets) - 1)];
  }
  const bool perBlock =
      fault.request == SimRequestKind::ProgramBlock || fault.request == SimRequestKind::ReadBlock;
  fault.occurrence = perBlock ? Uniform(random, 1, kBlocks) : 1;
  fault.count = Uniform(random, 1, 6);
  constexpr int kDelays[] = {300, 2500, 25000};
  fault.delayMs = kDelays[Uniform(random, 0, 2)];
  fault.garbageBytes = Uniform(random, 1, 40);
  fault.byteIndex = Uniform(random, 0, 127);
  return fault;
}

int RowOf(SimFaultKind kind) {
  for (int row = 0; row < kNoiseRow; ++row) {
    if (kKinds[row] == kind) return row;
  }
  return kNoiseRow;
}

bool RanToSuccess(CTestRig& rig, bool verify) {
  return rig.frame->Rom().programmed != 0 && (!verify || rig.frame->LastVerifyPassed());
}

SoakOutcome Classify(CTestRig& rig, bool verify, bool overran) {
  if (overran) return SoakOutcome::Overran;
  if (RanToSuccess(rig, verify)) {
    const SampleRomFields fields{.load = kLoad, .size = kImageSize};
    return rig.Flash(kLoad, kImageSize) == SampleRomData(fields) ? SoakOutcome::Success
                                                                 : SoakOutcome::WrongFlashSuccess;
  }
  // Program UPS refuses to start without a usable connection and image; its
  // abort line is the whole explanation, with the reason on the lines above.
  const std::string& text = rig.frame->TranscriptText();
  const std::string aborted = Text(kStrProgramAborted);
  const bool explained =
      !rig.view.boxes.empty() || (text.size() >= aborted.size() &&
                                  text.compare(text.size() - aborted.size(), aborted.size(), aborted) == 0);
  const bool red = rig.view.colour == StatusColour::Failure;
  return red && explained ? SoakOutcome::ShownFailure : SoakOutcome::HiddenFailure;
}

}  // namespace

const char* SoakOutcomeName(SoakOutcome outcome) {
  return kOutcomeNames[static_cast<int>(outcome)];
}

bool SoakOutcomeSound(SoakOutcome outcome, bool verify) {
  return outcome == SoakOutcome::Success || outcome == SoakOutcome::ShownFailure ||
         (!verify && outcome == SoakOutcome::WrongFlashSuccess);
}

const char* SoakRowName(int row) {
  return row == kNoiseRow ? "LineNoise" : SimFaultKindName(kKinds[row]);
}

std::vector<int> SoakRows(const SoakPlan& plan) {
  std::vector<int> rows;
  auto add = [&rows](int row) {
    if (std::find(rows.begin(), rows.end(), row) == rows.end()) rows.push_back(row);
  };
  for (const SimFault& fault : plan.faults) add(RowOf(fault.fault));
  if (plan.bitErrorRate > 0) add(kNoiseRow);
  return rows;
}

SoakPlan DrawSoakPlan(std::uint32_t seed) {
  std::mt19937 random(seed);
  SoakPlan plan;
  const int faults = Uniform(random, 0, 3);
  for (int i = 0; i < faults; ++i) {
    plan.faults.push_back(DrawFault(random));
    const SimFault& drawn = plan.faults.back();
    // The block read back with an unknown status holds a wrong byte: passed
    // uncompared, it would end in a success with a wrong flash.
    if (drawn.fault == SimFaultKind::UnknownStatus)
      plan.faults.push_back({SimRequestKind::ProgramBlock, drawn.occurrence, 1, SimFaultKind::FlipFlash});
  }
  if (faults == 0 || Uniform(random, 0, 3) == 0) {
    constexpr double kRates[] = {1e-5, 5e-5, 2e-4};
    plan.bitErrorRate = kRates[Uniform(random, 0, 2)];
  }
  return plan;
}

std::string DescribeSoakPlan(const SoakPlan& plan) {
  std::ostringstream text;
  for (const SimFault& f : plan.faults) {
    text << SimFaultKindName(f.fault) << " on " << SimRequestKindName(f.request) << " #" << f.occurrence
         << " x" << f.count;
    if (f.fault == SimFaultKind::Delay) text << " (" << f.delayMs << " ms)";
    text << "; ";
  }
  if (plan.bitErrorRate > 0) text << "bit error rate " << plan.bitErrorRate;
  return text.str();
}

SoakRun RunSoak(std::uint32_t seed, bool verify) {
  const SoakPlan plan = DrawSoakPlan(seed);
  SimProfile profile = CTestRig::Profile();
  profile.faults = plan.faults;
  profile.line.bitErrorRate = plan.bitErrorRate;
  profile.line.seed = seed;
  CTestRig rig(profile);
  rig.store.Write("Config", "Verify", verify ? "Y" : "N");
  bool overran = false;
  rig.view.interrupt = [&] { return overran = overran || rig.clock.NowMs() > kBoundMs; };
  rig.Start();
  rig.Run(kCmdConnect);
  rig.view.romFiles.push_back(rig.WriteRom({.load = kLoad, .size = kImageSize}));
  rig.Run(kCmdOpen);
  rig.Run(kCmdProgram);
  SoakRun run;
  run.outcome = Classify(rig, verify, overran);
  run.simulatedMs = rig.clock.NowMs();
  run.transcript = rig.Text();
  run.boxes = rig.view.boxes;
  return run;
}

void CSoakMatrix::Add(const SoakPlan& plan, SoakOutcome outcome) {
  const int column = static_cast<int>(outcome);
  for (int row : SoakRows(plan)) ++counts_[row][column];
  ++totals_[column];
  ++runs_;
}

int CSoakMatrix::Count(int row, SoakOutcome outcome) const {
  return counts_[row][static_cast<int>(outcome)];
}

int CSoakMatrix::Total(SoakOutcome outcome) const {
  return totals_[static_cast<int>(outcome)];
}

std::string CSoakMatrix::Table() const {
  std::ostringstream text;
  text << "| fault in the plan |";
  for (const char* name : kOutcomeNames) text << ' ' << name << " |";
  text << "\n|---|";
  for (int c = 0; c < kSoakOutcomes; ++c) text << "---:|";
  text << '\n';
  for (int row = 0; row < kSoakFaultRows; ++row) {
    text << "| " << SoakRowName(row) << " |";
    for (int c = 0; c < kSoakOutcomes; ++c) text << ' ' << counts_[row][c] << " |";
    text << '\n';
  }
  text << "| all " << runs_ << " runs |";
  for (int c = 0; c < kSoakOutcomes; ++c) text << ' ' << totals_[c] << " |";
  text << '\n';
  return text.str();
}
