#include <gtest/gtest.h>

#include "ConnectText.h"
#include "app/CommandIds.h"

using namespace connect_text;

namespace {

SimProfile NeverAnswers() {
  // A UPS stuck at a speed the loader never tries.
  SimProfile profile = CTestRig::Profile("no-pnp-19200");
  profile.startBaud = 4800;
  profile.offeredBauds = {4800};
  profile.switchesSpeed = false;
  return profile;
}

std::vector<SimRequestKind> Kinds(const CUpsSimulator& ups) {
  std::vector<SimRequestKind> kinds;
  for (const SimRequestRecord& r : ups.Record().requests) kinds.push_back(r.kind);
  return kinds;
}

void ExpectConnectEnded(CTestRig& rig) {
  const CConnectionState& c = rig.frame->Connection();
  EXPECT_EQ(c.connectBusy, 0);
  EXPECT_EQ(c.idle, 1);
  EXPECT_FALSE(rig.view.waitCursor);
  EXPECT_EQ(rig.view.waitCursorOn, 1);
  EXPECT_EQ(rig.frame->Receive().ReceiveMode(), kModeIdle);
  EXPECT_EQ(rig.view.statusLines,
            std::vector<std::string>{"Attempting to establish communications with UPS...\r\n"});
}

}  // namespace

TEST(ConnectSequence, PlugAndPlayGoesStraightToIdentification) {
  // A UPS that sends its string is spoken to at the agreed 19200 baud, without any fixed-speed probe.
  CTestRig rig;
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(), kDefaultConnect);
  EXPECT_TRUE(rig.view.boxes.empty());
  EXPECT_EQ(rig.view.colour, StatusColour::Ok);
  ExpectConnectEnded(rig);
  const CConnectionState& c = rig.frame->Connection();
  EXPECT_EQ(c.connected, 1);
  EXPECT_EQ(c.lineSpeed, 19200);
  EXPECT_EQ(c.upsTypeCode, 500);
  EXPECT_EQ(c.firmwareVersions[0], 0x0210);
  EXPECT_EQ(c.firmwareVersions[1], 0x0105);
  EXPECT_EQ(c.firmwareVersions[2], 0);
  ExpectDefaultSpaces(c, 1);
  EXPECT_EQ(c.spaceCount, 4);
  EXPECT_EQ(rig.line->HostLine().baud, 19200u);
  EXPECT_EQ(rig.line->HostLine().dataBits, 8);
  EXPECT_TRUE(rig.ups.InServiceMode());
  EXPECT_EQ(Kinds(rig.ups),
            (std::vector<SimRequestKind>{
                SimRequestKind::Authorization, SimRequestKind::CommParams, SimRequestKind::Authorization,
                SimRequestKind::SetCommParam, SimRequestKind::Authorization, SimRequestKind::StartComm,
                SimRequestKind::IdBlock, SimRequestKind::ConfigBlock, SimRequestKind::Authorization,
                SimRequestKind::ServiceMode, SimRequestKind::Capabilities, SimRequestKind::Capabilities}));
}

TEST(ConnectSequence, NoPlugAndPlayFindsAUpsAt9600) {
  // The 19200 probe's time-out line gives way to the 9600 switching line; the answered probe's
  // progress line stays and the handshake's follows it on the same line.
  CTestRig rig("only-9600");
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(), kPnpUnable + "Switching to 19200 baud\nSwitching to 9600 baud\n" + kStartupAttempt +
                            kHandshake + kIdentified + kServiceMode + kDefaultCapabilities);
  EXPECT_TRUE(rig.view.boxes.empty());
  ExpectConnectEnded(rig);
  EXPECT_EQ(rig.frame->Connection().connected, 1);
  EXPECT_EQ(rig.line->HostLine().baud, 9600u);
  EXPECT_EQ(rig.line->HostLine().dataBits, 8);
  EXPECT_EQ(rig.ups.Count(SimRequestKind::StartComm), 2);
}

TEST(ConnectSequence, NoPlugAndPlayAt2400LeavesTheFirstRequestToTheHandshake) {
  // Neither probe answers; no probe is made at 2400 and the handshake is the first request heard.
  CTestRig rig("only-2400");
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(),
            kPnpUnable + kSwitchingAll + kHandshake + kIdentified + kServiceMode + kDefaultCapabilities);
  EXPECT_TRUE(rig.view.boxes.empty());
  ExpectConnectEnded(rig);
  EXPECT_EQ(rig.frame->Connection().connected, 1);
  EXPECT_EQ(rig.line->HostLine().baud, 2400u);
  EXPECT_EQ(rig.ups.Count(SimRequestKind::StartComm), 1);
  EXPECT_EQ(rig.ups.Record().garbledBytes > 0, true);
}

TEST(ConnectSequence, NothingAnsweringEndsInTheCommunicationBox) {
  // Every probe and the identification time out: red background, the hint, the box, not connected.
  CTestRig rig(NeverAnswers());
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(), kPnpUnable + kSwitchingAll + kNothingAnswers);
  EXPECT_EQ(rig.view.boxes, std::vector<std::string>{kUnableToCommunicate});
  EXPECT_EQ(rig.view.colour, StatusColour::Failure);
  ExpectConnectEnded(rig);
  EXPECT_EQ(rig.frame->Connection().connected, 0);
  EXPECT_EQ(rig.frame->Connection().spaceCount, 1);
  EXPECT_EQ(rig.line->HostLine().baud, 2400u);
  EXPECT_TRUE(rig.ups.Record().requests.empty());
}

TEST(ConnectSequence, UnpluggedLineEndsInTheCommunicationBox) {
  // The adapter is gone before Connect: nothing can be written or read, and the command still ends.
  CTestRig rig;
  rig.Start();
  rig.line->Unplug();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(), kPnpUnable + kSwitchingAll + kNothingAnswers);
  EXPECT_EQ(rig.view.boxes, std::vector<std::string>{kUnableToCommunicate});
  EXPECT_EQ(rig.frame->Connection().connected, 0);
  EXPECT_EQ(rig.frame->Connection().idle, 1);
  EXPECT_EQ(rig.frame->Connection().connectBusy, 0);
  EXPECT_TRUE(rig.ups.Record().requests.empty());
}

TEST(ConnectSequence, ASecondConnectRecordsItsSpacesAfresh) {
  // The second run's spaces replace the first run's, at the same indices.
  CTestRig rig;
  rig.Start();
  rig.Run(kCmdConnect);
  rig.Run(kCmdConnect);
  // The Plug-and-Play step replaces the whole transcript, so only the second run shows.
  EXPECT_EQ(rig.Text(), kDefaultConnect);
  const CConnectionState& c = rig.frame->Connection();
  EXPECT_EQ(c.spaceCount, 4);
  ExpectDefaultSpaces(c, 1);
  EXPECT_EQ(c.spaces[4].spaceSize, 0u);
  EXPECT_EQ(rig.ups.Record().pnpSent, 2);
}

TEST(ConnectSequence, ASecondConnectAsksAgainWhenNothingHasArrivedSinceItsReset) {
  // The first run's captured string does not count as stored: a UPS that answers later than the
  // first cycle's pauses is cycled a second time, and both cycles make it send its string.
  CTestRig rig;
  rig.Start();
  rig.Run(kCmdConnect);
  ASSERT_EQ(rig.ups.Record().pnpSent, 1);
  rig.ups.Line().latencyMs = 300;
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.ups.Record().pnpSent, 3);
  EXPECT_EQ(rig.Text(), kDefaultConnect);
  EXPECT_EQ(rig.frame->Connection().lineSpeed, 19200);
}

TEST(ConnectSequence, SpacesBeyondTheThirtyFirstAreLoggedButNotRecorded) {
  // 34 Code spaces over two controllers: all are logged, entries 1 to 31 hold the first 31.
  SimProfile profile = CTestRig::Profile();
  std::string capabilities;
  for (SimCpu& cpu : profile.unit.cpus) {
    cpu.spaces.clear();
    capabilities += "Received response to request for Flash capabilities\n\tResponding cpu is: " +
                    std::to_string(cpu.cpu) + (cpu.cpu == 1 ? " = communications\n" : " = inverter\n");
    for (std::uint32_t i = 0; i < 17; ++i) {
      const std::uint32_t start = (cpu.cpu * 0x100000u) + i * 0x1000u;
      cpu.spaces.push_back(SimSpace{0x33, 128, start, 0x1000});
      char line[128];
      std::snprintf(line, sizeof line,
                    "\tCode memory access is: read/write from %08X for 4096 bytes\n"
                    "\t\tMaximum block size (flash sector size) for this space is 128\n",
                    start);
      capabilities += line;
    }
  }
  CTestRig rig(profile);
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(),
            kEstablished19200 + kDefaultPnpLines + kHandshake + kIdentified + kServiceMode + capabilities);
  const CConnectionState& c = rig.frame->Connection();
  EXPECT_EQ(c.spaceCount, 32);
  EXPECT_EQ(c.spaces[0].spaceStart, 0u);
  EXPECT_EQ(c.spaces[0].spaceReadWrite, 0);
  EXPECT_EQ(c.spaces[17].spaceStart, 0x110000u);
  EXPECT_EQ(c.spaces[18].spaceStart, 0x200000u);
  EXPECT_EQ(c.spaces[18].spaceCpu, 2);
  EXPECT_EQ(c.spaces[31].spaceStart, 0x20D000u);
  EXPECT_TRUE(rig.view.boxes.empty());
}

TEST(ConnectSequence, Type430TakesElevenBytesOffBlocksAbove64) {
  // A 128-byte block is logged and recorded as 117; 64 stays 64; other spaces are reduced too.
  SimProfile profile = CTestRig::Profile();
  profile.unit.typeCode = 430;
  profile.unit.cpus[0].spaces[2].maxBlock = 65;
  CTestRig rig(profile);
  rig.dir.Write("OEMModel.ini", ExampleModelFile() + "430 = Tobrane 430\n");
  rig.Start();
  rig.Run(kCmdConnect);
  std::string identified = kIdentified;
  identified.replace(identified.find("500 = Tobrane 500"), 17, "430 = Tobrane 430");
  EXPECT_EQ(rig.Text(), kEstablished19200 + kDefaultPnpLines + kHandshake + identified + kServiceMode +
                            "Received response to request for Flash capabilities\n"
                            "\tResponding cpu is: 1 = communications\n"
                            "\tCode memory access is: read/write from 00008000 for 32768 bytes\n"
                            "\t\tMaximum block size (flash sector size) for this space is 117\n"
                            "\tBoot Loader memory access is: read/write from 00000000 for 8192 bytes\n"
                            "\t\tMaximum block size (flash sector size) for this space is 64\n"
                            "\tConfiguration memory access is: read only from 00010000 for 256 bytes\n"
                            "\t\tMaximum block size for this space is 54\n"
                            "Received response to request for Flash capabilities\n"
                            "\tResponding cpu is: 2 = inverter\n"
                            "\tCode memory access is: read/write from 00004000 for 49152 bytes\n"
                            "\t\tMaximum block size (flash sector size) for this space is 117\n");
  const CConnectionState& c = rig.frame->Connection();
  EXPECT_EQ(c.spaces[1].spaceMaxBlock, 117u);
  EXPECT_EQ(c.spaces[2].spaceMaxBlock, 64u);
  EXPECT_EQ(c.spaces[3].spaceMaxBlock, 117u);
}
