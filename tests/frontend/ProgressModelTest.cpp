#include <gtest/gtest.h>

#include "frontend/ProgressModel.h"
#include "sim/VirtualClock.h"

TEST(ProgressModel, RateAndTimeLeftComeFromTheClockAndStartAgainForVerify) {
  // Half of 1000 bytes in 5 s: 100 B/s, 5 s left; the first report knows no rate yet.
  CVirtualClock clock;
  CProgressModel model(clock);
  model.CommandStarted();
  EXPECT_EQ(model.Update(TransferKind::Programming, 0, 1000).text, "Programming 0% - 0 B/s - --:-- left");
  clock.AdvanceTo(5000);
  const ProgressFigures& half = model.Update(TransferKind::Programming, 500, 1000);
  EXPECT_TRUE(half.running);
  EXPECT_EQ(half.percent, 50);
  EXPECT_EQ(half.text, "Programming 50% - 100 B/s - 0:05 left");
  EXPECT_FALSE(model.Update(TransferKind::Programming, 1000, 1000).running);
  // The read-back's rate counts from its own start, not from the programming's.
  clock.AdvanceTo(9000);
  model.Update(TransferKind::Verifying, 0, 1000);
  clock.AdvanceTo(10000);
  EXPECT_EQ(model.Update(TransferKind::Verifying, 250, 1000).text, "Verifying 25% - 250 B/s - 0:03 left");
}

TEST(ProgressModel, ATransferThatNeverReachedItsEndFailedUntilTheNextCommand) {
  // A command that ends mid-transfer leaves it failed; one that finished it does not; a new command clears
  // it.
  CVirtualClock clock;
  CProgressModel model(clock);
  model.CommandStarted();
  model.Update(TransferKind::Programming, 0, 1000);
  model.Update(TransferKind::Programming, 1000, 1000);
  EXPECT_FALSE(model.CommandEnded().failed);
  model.CommandStarted();
  model.Update(TransferKind::Programming, 0, 1000);
  model.Update(TransferKind::Programming, 128, 1000);
  const ProgressFigures& ended = model.CommandEnded();
  EXPECT_TRUE(ended.failed);
  EXPECT_FALSE(ended.running);
  EXPECT_EQ(ended.percent, 12);
  EXPECT_FALSE(model.CommandStarted().failed);
}
