#include <gtest/gtest.h>

#include "FaultSoak.h"

namespace {

constexpr int kRuns = 1000;

// Runs seeds 1 to kRuns; each must end soundly, and a failing one names the
// seed that replays it.
CSoakMatrix RunEverySeed(bool verify) {
  CSoakMatrix matrix;
  for (std::uint32_t seed = 1; seed <= kRuns; ++seed) {
    const SoakRun run = RunSoak(seed, verify);
    matrix.Add(DrawSoakPlan(seed), run.outcome);
    EXPECT_TRUE(SoakOutcomeSound(run.outcome, verify))
        << "seed " << seed << ": " << SoakOutcomeName(run.outcome) << " ("
        << DescribeSoakPlan(DrawSoakPlan(seed)) << "); replay with tobrane-soak --show " << seed
        << (verify ? "" : " --no-verify");
  }
  return matrix;
}

// Every run ends in a success with the image in flash, or in a failure the
// user is shown; a failing run names the seed that replays it.
TEST(FaultSoak, EveryRunEndsInSuccessOrAShownFailure) {
  const CSoakMatrix matrix = RunEverySeed(true);
  EXPECT_GT(matrix.Total(SoakOutcome::Success), 0);
  EXPECT_GT(matrix.Total(SoakOutcome::ShownFailure), 0);
  std::cout << matrix.Table();
}

// Without read-back a fault after the acknowledgement cannot be seen; such
// runs are counted for the README, every other run must still end soundly.
TEST(FaultSoak, WithoutVerifyOnlyUnseenFaultsGiveAWrongFlash) {
  const CSoakMatrix matrix = RunEverySeed(false);
  EXPECT_GT(matrix.Total(SoakOutcome::WrongFlashSuccess), 0);
  std::cout << matrix.Table();
}

}  // namespace
