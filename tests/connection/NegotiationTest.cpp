#include <gtest/gtest.h>

#include "ConnectText.h"
#include "app/CommandIds.h"

using namespace connect_text;

namespace {

// After the UPS has sent its string it stays at 1200 baud unless told otherwise, so a Connect
// that does not agree a speed finds nobody at the fixed speeds.
const std::string kLostAt1200 = kPnpUnable + kSwitchingAll + kNothingAnswers;

SimProfile WithPnp(const std::string& pnp) {
  SimProfile profile = CTestRig::Profile();
  profile.pnp = pnp;
  return profile;
}

}  // namespace

TEST(Negotiation, StringWithoutClosingParenthesisIsNotCaptured) {
  // No ")" within 220 polls: the transcript is replaced by the one line and the fallback begins.
  CTestRig rig(WithPnp("(AdOST0500\\00012345"));
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(), kLostAt1200);
  EXPECT_EQ(rig.ups.Count(SimRequestKind::CommParams), 0);
  EXPECT_EQ(rig.view.boxes, std::vector<std::string>{kUnableToCommunicate});
}

TEST(Negotiation, UnansweredQueryStillAsksFor19200) {
  // The query times out: status -1 gives "Unable to switch baud rates", yet 19200 is requested,
  // acknowledged and used.
  CTestRig rig(WithFault(SimRequestKind::CommParams, SimFaultKind::NoReply));
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(), kUnableToSwitch + kDefaultPnpLines + kDefaultAfterPnp);
  EXPECT_TRUE(rig.view.boxes.empty());
  EXPECT_EQ(rig.frame->Connection().lineSpeed, 19200);
  EXPECT_EQ(rig.ups.Record().speeds, (std::vector<std::uint32_t>{1200, 19200}));
}

TEST(Negotiation, UndecodableReplyEndsTheStepWithoutASetRequest) {
  // A bad checksum is logged as decode error 5, the step reports no Plug-and-Play data and no set
  // request is sent; the UPS, still at 1200 baud, is not found by the fallback.
  CTestRig rig(WithFault(SimRequestKind::CommParams, SimFaultKind::BadChecksum));
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_TRUE(TranscriptWas(rig, kConnectAttempt + "\tError 5 decoding UPS data\n"));
  EXPECT_EQ(rig.Text(), kLostAt1200);
  EXPECT_EQ(rig.ups.Count(SimRequestKind::SetCommParam), 0);
  EXPECT_EQ(rig.view.boxes, std::vector<std::string>{kUnableToCommunicate});
}

TEST(Negotiation, ShortRepliesAreInvalidAndGive19200) {
  // 'N', 0x09 and 'X' replies carry one data byte: too short, so 19200 is set and the rest goes on.
  for (SimFaultKind fault : {SimFaultKind::Nack, SimFaultKind::Repeat, SimFaultKind::Terminate}) {
    SCOPED_TRACE(SimFaultKindName(fault));
    CTestRig rig(WithFault(SimRequestKind::CommParams, fault));
    rig.Start();
    rig.Run(kCmdConnect);
    EXPECT_TRUE(TranscriptWas(rig, kConnectAttempt + "\tInvalid UPS baud rate data.  Setting to 19200.\n"));
    EXPECT_EQ(rig.Text(), kDefaultConnect);
    EXPECT_TRUE(rig.view.boxes.empty());
    EXPECT_EQ(rig.frame->Connection().lineSpeed, 19200);
  }
}

TEST(Negotiation, FastestOfferedSpeedIsChosen) {
  // 2400 and 9600 in an 8-byte reply: 9600 is set and both sides follow.
  SimProfile profile = CTestRig::Profile();
  profile.offeredBauds = {2400, 9600};
  CTestRig rig(profile);
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(),
            "UPS communications established at 9600 baud\n\n" + kDefaultPnpLines + kDefaultAfterPnp);
  EXPECT_EQ(rig.frame->Connection().lineSpeed, 9600);
  EXPECT_EQ(rig.line->HostLine().baud, 9600u);
  EXPECT_EQ(rig.ups.Record().speeds, (std::vector<std::uint32_t>{1200, 9600}));
}

TEST(Negotiation, NothingFasterThan1200StaysAt1200) {
  // 300 and 600 offered: the line speed stays 1200, which the UPS refuses to set but keeps.
  SimProfile profile = CTestRig::Profile();
  profile.offeredBauds = {300, 600};
  CTestRig rig(profile);
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(),
            "UPS communications established at 1200 baud\n\n" + kDefaultPnpLines + kDefaultAfterPnp);
  EXPECT_EQ(rig.line->HostLine().baud, 1200u);
  EXPECT_EQ(rig.line->HostLine().dataBits, 8);
}

TEST(Negotiation, UnansweredSetRequestStillSwitchesThePort) {
  // The acknowledgement comes too late: the box, "Unable to switch baud rates", and the port at
  // the chosen 19200, where the UPS also ends up.
  SimProfile profile = WithFault(SimRequestKind::SetCommParam, SimFaultKind::Delay);
  profile.faults.back().delayMs = 9000;
  CTestRig rig(profile);
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.view.boxes, std::vector<std::string>{"No response to Set Comm Parameter command."});
  EXPECT_EQ(rig.Text(), kUnableToSwitch + kDefaultPnpLines + kDefaultAfterPnp);
  EXPECT_EQ(rig.line->HostLine().baud, 19200u);
  EXPECT_EQ(rig.frame->Connection().connected, 1);
}

TEST(Negotiation, LostSetRequestLeavesTheUpsBehind) {
  // No answer at all: the port switches to 19200 anyway while the UPS stays at 1200.
  CTestRig rig(WithFault(SimRequestKind::SetCommParam, SimFaultKind::NoReply));
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(), kUnableToSwitch + kDefaultPnpLines + kNothingAnswers);
  EXPECT_EQ(rig.view.boxes,
            (std::vector<std::string>{"No response to Set Comm Parameter command.", kUnableToCommunicate}));
  EXPECT_EQ(rig.line->HostLine().baud, 19200u);
}
