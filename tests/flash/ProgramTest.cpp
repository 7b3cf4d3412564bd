#include "FlashText.h"

using namespace flash_text;

namespace {

const std::vector<std::uint8_t> kData = SampleRomData({});
const std::string kNack = "Flash Programming NACK Received.";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

TEST(Program, SucceedsWithAndWithoutVerify) {
  // Start, four blocks, end, the optional read-back, then the reset: the UPS's flash holds the image.
  for (const bool verify : {false, true}) {
    SCOPED_TRACE(verify ? "verify on" : "verify off");
    CTestRig rig;
    const std::size_t from = OpenAfterConnect(rig, rig.WriteRom({}), verify);
    rig.Run(kCmdProgram);
    EXPECT_EQ(rig.Text(), kOpened + kProgramStarted + kCompleted0 +
                              (verify ? kVerifyStarted + kVerifyCompleted : "") + kResetSent);
    EXPECT_TRUE(rig.view.boxes.empty());
    EXPECT_EQ(rig.view.colour, StatusColour::Ok);
    EXPECT_EQ(rig.Flash(0x8000, kData.size()), kData);
    ASSERT_EQ(rig.ups.Record().resets.size(), 1u);
    EXPECT_EQ(rig.ups.Record().resets[0].module, 1);
    EXPECT_EQ(KindsFrom(rig, from), Concat({{K::StartFlash},
                                            Repeated(K::ProgramBlock, 4),
                                            {K::EndFlash},
                                            Repeated(K::ReadBlock, verify ? 4 : 0),
                                            {K::Reset}}));
    // The progress line was rewritten in place, block by block.
    EXPECT_TRUE(TranscriptWas(rig, kOpened + kProgramStarted + "Programming address: 00008180"));
    EXPECT_EQ(TranscriptWas(rig, kOpened + kProgramStarted + kCompleted0 + kVerifyStarted +
                                     "Verifying address: 00008180"),
              verify);
    EXPECT_EQ(rig.frame->Rom().programmed, 1);
    EXPECT_EQ(rig.frame->Connection().idle, 1);
    ExpectProgramEnded(rig);
  }
}

TEST(Program, NoResetForTypes280And281WithModule2) {
  // Those UPSs restart their inverter themselves; module 1 of the same UPS is reset as usual.
  struct Case {
    std::uint16_t type;
    std::uint16_t module;
    bool reset;
  };
  for (const Case c : {Case{280, 2, false}, Case{281, 2, false}, Case{280, 1, true}, Case{500, 2, true}}) {
    const std::string type = std::to_string(c.type);
    SCOPED_TRACE(type + " module " + std::to_string(c.module));
    SimProfile profile = CTestRig::Profile();
    profile.unit.typeCode = c.type;
    CTestRig rig(profile);
    rig.dir.Write("OEMModel.ini", ExampleModelFile() + "280 = Tobrane 280\n281 = Tobrane 281\n");
    const SampleRomFields fields{
        .load = c.module == 2 ? 0x4000u : 0x8000u, .ups = c.type, .module = c.module};
    const std::size_t from = OpenAfterConnect(rig, rig.WriteRom(fields), false);
    rig.Run(kCmdProgram);
    const std::string model = type + (c.type == 500 ? " = Tobrane 500" : " = Tobrane " + type);
    const std::string opened =
        Replaced(kDefaultConnect, "500 = Tobrane 500", model) +
        HeaderLines(c.module == 2 ? "00004000" : "00008000", Replaced(model, " = ", "  = "),
                    c.module == 2 ? "Inverter" : "Communications");
    EXPECT_EQ(rig.Text(), opened + "\tChecksum is correct\n" + DataLine(512) + kProgramStarted + kCompleted0 +
                              (c.reset ? kResetSent : ""));
    EXPECT_EQ(rig.ups.Record().resets.size(), c.reset ? 1u : 0u);
    EXPECT_EQ(KindsFrom(rig, from).back(), c.reset ? K::Reset : K::EndFlash);
    EXPECT_EQ(rig.Flash(fields.load, 512, c.module), SampleRomData(fields));
    EXPECT_EQ(rig.frame->Rom().programmed, 1);
  }
}

TEST(Program, FaultsOfTheUps) {
  // Every reason for sending a block again shares one retry count; a decode failure or a
  // wrong block ends the transfer at once. The end-flash request follows every transfer.
  const auto kTransfer = [](int blocks, bool reset) {
    return Concat({{K::StartFlash},
                   Repeated(K::ProgramBlock, blocks),
                   {K::EndFlash},
                   reset ? Kinds{K::Reset} : Kinds{}});
  };
  const std::string kSucceeded = kProgramStarted + kCompleted0 + kResetSent;
  const std::string kFailed = kProgramStarted + kProgramFailed;
  struct Case {
    const char* name;
    std::vector<SimFault> faults;
    std::vector<std::string> boxes;
    std::string tail;  // after the Open lines
    Kinds kinds;
    bool imageInFlash;
  };
  const std::vector<Case> cases = {
      {"start flash fails once",
       {Fault(K::StartFlash, SimFaultKind::NoReply)},
       {},
       kSucceeded,
       Concat({{K::StartFlash}, kTransfer(4, true)}),
       true},
      {"start flash never echoed",
       {Fault(K::StartFlash, SimFaultKind::NoReply, 1, 3)},
       {"Start Flash command failed.\r\nYou may have to place UPS in bypass mode and try again\r\n"},
       kProgramStarted + "\nUPS is not ready for upgrade.\n" + kProgramFailed,
       Repeated(K::StartFlash, 3),
       false},
      {"three NACKs then accepted",
       {Fault(K::ProgramBlock, SimFaultKind::Nack, 2, 3)},
       {kNack, kNack, kNack},
       kSucceeded,
       kTransfer(7, true),
       true},
      {"four NACKs",
       {Fault(K::ProgramBlock, SimFaultKind::Nack, 1, 4)},
       {kNack, kNack, kNack, "Maximum number of NACK retires exceeded"},
       kFailed,
       kTransfer(4, false),
       false},
      {"never answers a block",
       {Fault(K::ProgramBlock, SimFaultKind::NoReply, 1, 100)},
       {"Error: Timed Out on Retries"},
       kFailed,
       kTransfer(5, false),
       false},
      {"four time-outs then accepted",
       {Fault(K::ProgramBlock, SimFaultKind::NoReply, 1, 4)},
       {},
       kProgramStarted + "\nProgramming Completed in 8 seconds\n" + kResetSent,
       kTransfer(8, true),
       true},
      {"time-outs and NACKs share the count",
       {Fault(K::ProgramBlock, SimFaultKind::NoReply, 1, 2),
        Fault(K::ProgramBlock, SimFaultKind::Nack, 3, 2)},
       {kNack, "Maximum number of NACK retires exceeded"},
       kFailed,
       kTransfer(4, false),
       false},
      {"terminated on the first block",
       {Fault(K::ProgramBlock, SimFaultKind::Terminate)},
       {"UPS terminated FLASH operation"},
       kFailed,
       kTransfer(1, false),
       false},
      {"four repeats then accepted",
       {Fault(K::ProgramBlock, SimFaultKind::Repeat, 1, 4)},
       {},
       kSucceeded,
       kTransfer(8, true),
       true},
      {"five repeats",
       {Fault(K::ProgramBlock, SimFaultKind::Repeat, 1, 5)},
       {"Retry count exceeded"},
       kFailed,
       kTransfer(5, false),
       false},
      {"reply too long to decode",
       {Fault(K::ProgramBlock, SimFaultKind::Oversize, 2)},
       {"Decoding Error 6  Unknown"},
       kFailed,
       kTransfer(2, false),
       false},
      {"reply with a bad checksum",
       {Fault(K::ProgramBlock, SimFaultKind::BadChecksum)},
       {"Decoding Error 5  CheckSum Error"},
       kFailed,
       kTransfer(1, false),
       false},
      {"reply of another block",
       {Fault(K::ProgramBlock, SimFaultKind::WrongBlock)},
       {"Received wrong block: 9"},
       kFailed,
       kTransfer(1, false),
       false},
      {"a status of no known meaning counts as the echo",
       {Fault(K::ProgramBlock, SimFaultKind::UnknownStatus, 2)},
       {},
       kSucceeded,
       kTransfer(4, true),
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTestRig rig(WithFaults(c.faults));
    const std::size_t from = OpenAfterConnect(rig, rig.WriteRom({}), false);
    rig.Run(kCmdProgram);
    const bool programmed = c.tail.find("Completed") != std::string::npos;
    EXPECT_EQ(rig.Text(), kOpened + c.tail);
    EXPECT_EQ(rig.view.boxes, c.boxes);
    EXPECT_EQ(KindsFrom(rig, from), c.kinds);
    EXPECT_EQ(rig.Flash(0x8000, kData.size()) == kData, c.imageInFlash);
    EXPECT_EQ(rig.view.colour, programmed ? StatusColour::Ok : StatusColour::Failure);
    EXPECT_EQ(rig.frame->Rom().programmed, programmed ? 1 : 0);
    // Only a transfer that went wrong keeps the window from closing.
    const bool transferFailed = !programmed && c.kinds.size() > 1 && c.kinds[1] == K::ProgramBlock;
    EXPECT_EQ(rig.frame->Connection().idle, transferFailed ? 0 : 1);
    ExpectProgramEnded(rig);
  }
}

TEST(Program, AbortsWithoutAConnectionOrAnImage) {
  // Without a Connect the image is rejected and Program UPS only writes the abort line; with a
  // connection but no image the same. Nothing reaches the UPS either way.
  for (const bool connect : {false, true}) {
    SCOPED_TRACE(connect ? "connected" : "not connected");
    CTestRig rig;
    rig.Start();
    if (connect) rig.Run(kCmdConnect);
    const std::size_t from = rig.ups.Record().requests.size();
    const std::string before = rig.Text();
    rig.Run(kCmdProgram);
    EXPECT_EQ(rig.Text(), before + kProgramAborted);
    rig.Run(kCmdVerify);
    EXPECT_EQ(rig.Text(), before + kProgramAborted + kVerifyAborted);
    EXPECT_EQ(rig.view.colour, StatusColour::Failure);
    EXPECT_TRUE(rig.view.boxes.empty());
    EXPECT_TRUE(KindsFrom(rig, from).empty());
    ExpectProgramEnded(rig);
  }
}
