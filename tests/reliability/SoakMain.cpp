// tobrane-soak: runs the fault-matrix soak and prints the matrix, with the
// seed of every run that did not end soundly so that it can be replayed.
//
//   tobrane-soak [--seed FIRST] [--runs N] [--no-verify] [--show SEED]
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "FaultSoak.h"

namespace {

struct SoakArgs {
  std::uint32_t seed = 1;
  int runs = 1000;
  bool verify = true;
  bool show = false;
};

bool ParseArgs(int argc, char** argv, SoakArgs& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--no-verify") {
      args.verify = false;
      continue;
    }
    if (i + 1 >= argc) return false;
    const unsigned long v = std::strtoul(argv[++i], nullptr, 0);
    if (a == "--seed") {
      args.seed = static_cast<std::uint32_t>(v);
    } else if (a == "--runs") {
      args.runs = static_cast<int>(v);
    } else if (a == "--show") {
      args.seed = static_cast<std::uint32_t>(v);
      args.show = true;
    } else {
      return false;
    }
  }
  return args.runs > 0;
}

int ShowRun(const SoakArgs& args) {
  const SoakRun run = RunSoak(args.seed, args.verify);
  std::cout << "plan: " << DescribeSoakPlan(DrawSoakPlan(args.seed)) << '\n'
            << "outcome: " << SoakOutcomeName(run.outcome) << " after " << run.simulatedMs << " ms\n";
  for (const std::string& box : run.boxes) std::cout << "box: " << box << '\n';
  std::cout << run.transcript;
  return SoakOutcomeSound(run.outcome, args.verify) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  SoakArgs args;
  if (!ParseArgs(argc, argv, args)) {
    std::cerr << "usage: tobrane-soak [--seed FIRST] [--runs N] [--no-verify] [--show SEED]\n";
    return 2;
  }
  if (args.show) return ShowRun(args);
  CSoakMatrix matrix;
  int unsound = 0;
  for (int i = 0; i < args.runs; ++i) {
    const std::uint32_t seed = args.seed + static_cast<std::uint32_t>(i);
    const SoakRun run = RunSoak(seed, args.verify);
    matrix.Add(DrawSoakPlan(seed), run.outcome);
    if (!SoakOutcomeSound(run.outcome, args.verify)) {
      ++unsound;
      std::cout << "seed " << seed << ": " << SoakOutcomeName(run.outcome) << " ("
                << DescribeSoakPlan(DrawSoakPlan(seed)) << "); replay with --show " << seed << '\n';
    }
  }
  std::cout << matrix.Table();
  return unsound == 0 ? 0 : 1;
}
