#include <filesystem>

#include "FlashText.h"

using namespace flash_text;

namespace {

const std::vector<std::uint8_t> kData = SampleRomData({});
const std::string kProgrammed = kProgramStarted + kCompleted0;

}  // namespace

TEST(Verify, FaultsAfterProgramming) {
  // A failed read-back stops the run before the reset; a read-back that proves nothing
  // (terminated, short, a status of no known meaning) is a failure, never a pass.
  struct Case {
    const char* name;
    std::vector<SimFault> faults;
    std::vector<std::string> boxes;
    int readBlocks;
    bool passes;
  };
  SimFault flip = Fault(K::ProgramBlock, SimFaultKind::FlipFlash, 2);
  flip.byteIndex = 5;
  const std::vector<Case> cases = {
      // Image byte 128 + 5 is 133 * 7 = 0xA3; the UPS stored it with bit 0 flipped.
      {"mismatch at block address + 5",
       {flip},
       {"Verify Failed At Location 00008085\nShould be A3, Was A2"},
       2,
       false},
      {"NACK", {Fault(K::ReadBlock, SimFaultKind::Nack, 2)}, {"NACK Received"}, 2, false},
      {"never answers",
       {Fault(K::ReadBlock, SimFaultKind::NoReply, 1, 100)},
       {"Error: Timed Out on Retries"},
       5,
       false},
      {"four repeats then read", {Fault(K::ReadBlock, SimFaultKind::Repeat, 1, 4)}, {}, 8, true},
      {"five repeats", {Fault(K::ReadBlock, SimFaultKind::Repeat, 1, 5)}, {"Retry count exceeded"}, 5, false},
      {"terminated",
       {Fault(K::ReadBlock, SimFaultKind::Terminate, 3)},
       {"UPS terminated verify operation"},
       3,
       false},
      {"reply one byte short",
       {Fault(K::ReadBlock, SimFaultKind::ShortReply, 2)},
       {"Verify Failed At Location 00008080\nThe UPS returned 127 of 128 bytes"},
       2,
       false},
      {"reply too long to decode",
       {Fault(K::ReadBlock, SimFaultKind::Oversize)},
       {"Decoding Error 6  Unknown"},
       1,
       false},
      {"reply of another block",
       {Fault(K::ReadBlock, SimFaultKind::WrongBlock)},
       {"Received wrong block: 9"},
       1,
       false},
      {"a status of no known meaning",
       {Fault(K::ReadBlock, SimFaultKind::UnknownStatus, 2)},
       {"Verify Failed At Location 00008080\nThe UPS answered with an unknown status 3F"},
       2,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTestRig rig(WithFaults(c.faults));
    const std::size_t from = OpenAfterConnect(rig, rig.WriteRom({}), true);
    rig.Run(kCmdProgram);
    EXPECT_EQ(rig.Text(), kOpened + kProgrammed + kVerifyStarted +
                              (c.passes ? kVerifyCompleted + kResetSent : kVerifyFailed));
    EXPECT_EQ(rig.view.boxes, c.boxes);
    EXPECT_EQ(KindsFrom(rig, from), Concat({{K::StartFlash},
                                            Repeated(K::ProgramBlock, 4),
                                            {K::EndFlash},
                                            Repeated(K::ReadBlock, c.readBlocks),
                                            c.passes ? Kinds{K::Reset} : Kinds{}}));
    EXPECT_EQ(rig.view.colour, c.passes ? StatusColour::Ok : StatusColour::Failure);
    EXPECT_EQ(rig.frame->LastVerifyPassed(), c.passes);
    EXPECT_EQ(rig.frame->Connection().idle, 1);
    ExpectProgramEnded(rig);
  }
}

TEST(Verify, UnansweredReadBlocksAreSentTwentySecondsApart) {
  // Each read-back request waits 2000 polls, whatever the route.
  CTestRig rig(WithFaults({Fault(K::ReadBlock, SimFaultKind::NoReply, 1, 100)}));
  const std::size_t from = OpenAfterConnect(rig, rig.WriteRom({}), true);
  rig.Run(kCmdProgram);
  std::vector<std::int64_t> sentMs;
  const auto& requests = rig.ups.Record().requests;
  for (std::size_t i = from; i < requests.size(); ++i)
    if (requests[i].kind == K::ReadBlock) sentMs.push_back(requests[i].atUs / 1000);
  ASSERT_EQ(sentMs.size(), 5u);
  for (std::size_t i = 1; i < sentMs.size(); ++i) {
    EXPECT_GE(sentMs[i] - sentMs[i - 1], 20'000);
    EXPECT_LT(sentMs[i] - sentMs[i - 1], 20'100);
  }
}

TEST(Verify, VerifyThenProgramWithoutReopening) {
  // Verify Program leaves the image at its ROM data, so a later Program UPS sends the same bytes.
  // This UPS takes a second start after the reset without service mode.
  SimProfile profile = CTestRig::Profile();
  profile.unit.flashNeedsServiceMode = false;
  CTestRig rig(profile);
  OpenAfterConnect(rig, rig.WriteRom({}), false);
  rig.Run(kCmdProgram);
  rig.store.Write("Config", "Verify", "Y");
  rig.app->options.verifyAfterFlash = 1;
  rig.view.romFiles.push_back(rig.WriteRom({}));
  rig.Run(kCmdOpen);
  const std::string reopened =
      kOpened + kProgrammed + kResetSent + HeaderLines() + "\tChecksum is correct\n" + DataLine(512);
  EXPECT_EQ(rig.Text(), reopened);
  const std::size_t from = rig.ups.Record().requests.size();
  rig.Run(kCmdVerify);
  rig.Run(kCmdVerify);
  // A verification passed: the start line directly followed by the completion line, each time.
  EXPECT_EQ(rig.Text(), reopened + kVerifyStarted + kVerifyCompleted + kVerifyStarted + kVerifyCompleted);
  EXPECT_EQ(rig.view.colour, StatusColour::Ok);
  EXPECT_TRUE(rig.frame->IsCommandEnabled(kCmdProgram));
  rig.Run(kCmdProgram);
  EXPECT_EQ(rig.Text(), reopened + kVerifyStarted + kVerifyCompleted + kVerifyStarted + kVerifyCompleted +
                            kProgrammed + kVerifyStarted + kVerifyCompleted + kResetSent);
  EXPECT_TRUE(rig.view.boxes.empty());
  EXPECT_EQ(rig.Flash(0x8000, kData.size()), kData);
  EXPECT_EQ(KindsFrom(rig, from), Concat({Repeated(K::ReadBlock, 8),
                                          {K::StartFlash},
                                          Repeated(K::ProgramBlock, 4),
                                          {K::EndFlash},
                                          Repeated(K::ReadBlock, 4),
                                          {K::Reset}}));
  ExpectProgramEnded(rig);
}

TEST(Verify, MaximumBlockSizeZeroEndsBothTransfers) {
  // A space whose blocks would all be empty can never advance: both loops stop with a box.
  SimProfile profile = CTestRig::Profile();
  profile.unit.cpus[0].spaces[0].maxBlock = 0;
  CTestRig rig(profile);
  const std::size_t from = OpenAfterConnect(rig, rig.WriteRom({}), true);
  const std::string box = "The flash space reports a maximum block size of 0; no data can be transferred.";
  rig.Run(kCmdProgram);
  const std::string opened = kDefaultConnect.substr(0, kDefaultConnect.find("is 128")) + "is 0" +
                             kDefaultConnect.substr(kDefaultConnect.find("is 128") + 6) + HeaderLines() +
                             "\tChecksum is correct\n" + DataLine(512);
  EXPECT_EQ(rig.Text(), opened + kProgramStarted + kProgramFailed);
  EXPECT_EQ(rig.view.boxes, std::vector<std::string>{box});
  EXPECT_EQ(KindsFrom(rig, from), (Kinds{K::StartFlash, K::EndFlash}));
  rig.view.romFiles.push_back(rig.WriteRom({}));
  rig.Run(kCmdOpen);
  const std::size_t beforeVerify = rig.ups.Record().requests.size();
  rig.Run(kCmdVerify);
  EXPECT_EQ(rig.Text(), opened + kProgramStarted + kProgramFailed + HeaderLines() +
                            "\tChecksum is correct\n" + DataLine(512) + kVerifyStarted + kVerifyFailed);
  EXPECT_EQ(rig.view.boxes, std::vector<std::string>(2, box));
  EXPECT_EQ(rig.ups.Record().requests.size(), beforeVerify);
  EXPECT_EQ(rig.view.colour, StatusColour::Failure);
}

TEST(Verify, FileCutShortAfterOpenSendsNothing) {
  // The bytes the file no longer has are never made up: both commands stop before any request.
  for (const int command : {kCmdProgram, kCmdVerify}) {
    SCOPED_TRACE(command);
    CTestRig rig;
    const std::string path = rig.WriteRom({});
    const std::size_t from = OpenAfterConnect(rig, path, true);
    std::filesystem::resize_file(path, 100);
    rig.Run(command);
    EXPECT_EQ(rig.Text(), kOpened + (command == kCmdProgram ? kProgramStarted + kProgramFailed
                                                            : kVerifyStarted + kVerifyFailed));
    EXPECT_EQ(rig.view.boxes,
              std::vector<std::string>{"Unable to read the ROM data from the file: 80 of 512 bytes "
                                       "read.\r\nNothing was sent to the UPS."});
    EXPECT_TRUE(KindsFrom(rig, from).empty());
    EXPECT_EQ(rig.view.colour, StatusColour::Failure);
    EXPECT_EQ(rig.frame->Rom().programmed, 0);
  }
}
