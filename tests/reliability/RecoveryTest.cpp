#include <gtest/gtest.h>

#include "TestRig.h"
#include "app/CommandIds.h"

namespace {

constexpr SampleRomFields kImage{.load = 0x8000, .size = 1024};

struct FailedTransfer {
  const char* name;
  std::optional<SimFault> fault;  // none: the adapter is pulled out at the second block
  std::string boxStart;           // the box that explains the failure
};

// Program UPS with the image written to the rig's directory; the view's
// boxes are those of this run only.
void Program(CTestRig& rig) {
  rig.view.boxes.clear();
  ASSERT_TRUE(rig.ConnectAndOpen(rig.WriteRom(kImage)));
  rig.Run(kCmdProgram);
}

bool ProgrammedAndVerified(const CTestRig& rig) {
  return rig.frame->Rom().programmed != 0 && rig.frame->LastVerifyPassed() &&
         rig.Flash(kImage.load, kImage.size) == SampleRomData(kImage);
}

bool SomeBoxStartsWith(const CTestRig& rig, const std::string& start) {
  for (const std::string& box : rig.view.boxes)
    if (box.rfind(start, 0) == 0) return true;
  return false;
}

// Pulls the adapter once the second block has reached the UPS; the simulated
// line lets the receive pump see it go before simulated time runs on.
void UnplugAtSecondBlock(CTestRig& rig) {
  rig.view.onPump = [&rig] {
    if (rig.ups.Count(SimRequestKind::ProgramBlock) >= 2 && !rig.frame->Port()->DeviceLost())
      rig.line->Unplug();
  };
}

TEST(Recovery, AfterEveryKindOfFailedTransferANewConnectProgramsTheImage) {
  // Each failure is shown; then, in the same process, Connect and Program UPS put the whole image in flash.
  const std::vector<FailedTransfer> cases = {
      {"no reply", SimFault{SimRequestKind::ProgramBlock, 2, 5, SimFaultKind::NoReply},
       "Error: Timed Out on Retries"},
      {"four NACKs", SimFault{SimRequestKind::ProgramBlock, 2, 4, SimFaultKind::Nack},
       "Maximum number of NACK retires exceeded"},
      {"'X'", SimFault{SimRequestKind::ProgramBlock, 2, 1, SimFaultKind::Terminate},
       "UPS terminated FLASH operation"},
      {"0x09 repeats", SimFault{SimRequestKind::ProgramBlock, 2, 5, SimFaultKind::Repeat},
       "Retry count exceeded"},
      {"decode error", SimFault{SimRequestKind::ProgramBlock, 2, 1, SimFaultKind::BadChecksum},
       "Decoding Error "},
      {"verify mismatch", SimFault{SimRequestKind::ProgramBlock, 2, 1, SimFaultKind::FlipFlash},
       "Verify Failed At Location 00008080"},
      {"vanished device", std::nullopt, "Error: Timed Out on Retries"},
  };
  for (const FailedTransfer& c : cases) {
    SCOPED_TRACE(c.name);
    SimProfile profile = CTestRig::Profile();
    if (c.fault) profile.faults.push_back(*c.fault);
    CTestRig rig(profile);
    rig.Start();
    if (!c.fault) UnplugAtSecondBlock(rig);
    Program(rig);
    EXPECT_FALSE(ProgrammedAndVerified(rig));
    EXPECT_EQ(rig.view.colour, StatusColour::Failure);
    EXPECT_TRUE(SomeBoxStartsWith(rig, c.boxStart)) << ::testing::PrintToString(rig.view.boxes);

    rig.view.onPump = nullptr;
    rig.line->Replug();
    Program(rig);
    EXPECT_TRUE(ProgrammedAndVerified(rig)) << rig.Text();
    EXPECT_TRUE(rig.view.boxes.empty()) << ::testing::PrintToString(rig.view.boxes);
    EXPECT_EQ(rig.view.colour, StatusColour::Ok);
  }
}

TEST(Recovery, AVanishedDeviceIsOpenedAgainByTheNextConnectOnceItIsBack) {
  // The transfer gives up as soon as the device is gone, long before its time-outs; a Connect while it is
  // still away fails with the communication box; once it is back, Connect reopens it and Program UPS
  // succeeds.
  CTestRig rig;
  rig.Start();
  UnplugAtSecondBlock(rig);
  ASSERT_TRUE(rig.ConnectAndOpen(rig.WriteRom(kImage)));
  const std::int64_t programStartMs = rig.clock.NowMs();
  rig.Run(kCmdProgram);
  EXPECT_TRUE(rig.frame->Port()->DeviceLost());
  // Five sendings of a block at 2 s each, and the end-flash wait, would take over ten seconds.
  EXPECT_LT(rig.clock.NowMs() - programStartMs, 1000);
  EXPECT_NE(rig.Text().find("\nProgramming Failed\n"), std::string::npos) << rig.Text();

  rig.view.onPump = nullptr;
  rig.view.boxes.clear();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.view.boxes, std::vector<std::string>{"Unable to communicate serially with the UPS or Linkbay "
                                                     "card.\nPlease check your connections and Configuration "
                                                     "and try again."});
  EXPECT_EQ(rig.frame->Connection().connected, 0);
  EXPECT_TRUE(rig.frame->Port()->DeviceLost());

  rig.line->Replug();
  Program(rig);
  EXPECT_FALSE(rig.frame->Port()->DeviceLost());
  EXPECT_TRUE(ProgrammedAndVerified(rig)) << rig.Text();
  EXPECT_TRUE(rig.view.boxes.empty()) << ::testing::PrintToString(rig.view.boxes);
}

}  // namespace
