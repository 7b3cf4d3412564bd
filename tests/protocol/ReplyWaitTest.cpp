#include <gtest/gtest.h>

#include "protocol/ReplyWait.h"
#include "sim/VirtualClock.h"

// A wait with no reply lasts its full allowance and pumps once per poll.
TEST(ReplyWait, TimeOutLastsEveryPoll) {
  CReceiveState rx;
  CVirtualClock clock;
  int pumps = 0;
  rx.SetReceiveMode(kModeFrame, true);
  EXPECT_FALSE(PollWhileMode(
      rx, clock, [&] { ++pumps; }, nullptr, kModeFrame, 800));
  EXPECT_EQ(clock.NowMs(), 8000);
  EXPECT_EQ(pumps, 800);
  EXPECT_EQ(rx.ReceiveMode(), kModeFrame);
}

// A reply ends the poll in which it arrives, not a whole poll later.
TEST(ReplyWait, EndsWhenTheModeChanges) {
  CReceiveState rx;
  CVirtualClock clock;
  rx.SetReceiveMode(kModeFrame, true);
  const std::uint8_t ack[] = {0xAB, 0x09, 0x01, 0x81, 0x41, 0x89};
  clock.Schedule(35, [&] { rx.ReceiveBytes(ack, sizeof ack); });
  EXPECT_TRUE(PollWhileMode(rx, clock, nullptr, nullptr, kModeFrame, 800));
  EXPECT_EQ(clock.NowMs(), 35);
}

// Once the give-up condition holds, no further poll starts.
TEST(ReplyWait, GivesUpBeforeTheNextPoll) {
  CReceiveState rx;
  CVirtualClock clock;
  int pumps = 0;
  rx.SetReceiveMode(kModeFrame, true);
  EXPECT_FALSE(PollWhileMode(
      rx, clock, [&] { ++pumps; }, [&] { return pumps == 3; }, kModeFrame, 800));
  EXPECT_EQ(clock.NowMs(), 30);
}
