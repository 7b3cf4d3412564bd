#include <gtest/gtest.h>

#include <functional>

#include "ConnectText.h"
#include "app/CommandIds.h"

using namespace connect_text;

namespace {

// One way identification, service mode or the capabilities can go wrong, and what the user then
// sees after the Plug-and-Play lines.
struct FailureRow {
  const char* name;
  std::function<SimProfile()> profile;
  std::string afterPnp;
  std::vector<std::string> boxes;
  int connected;
  StatusColour colour;
  std::function<void(CTestRig&)> beforeStart = [](CTestRig&) {};
};

const std::string kIdReceived = "Received UPS ID data\n";
const std::string kConfigReceived = "Received UPS Configuration Data\n";
const std::string kAckInsteadOfCapabilities =
    "\tError: Received Acknowledge block instead of Flash capabilites block\n";

std::function<SimProfile()> Fault(SimRequestKind request, SimFaultKind fault, int occurrence = 1) {
  return [=] { return WithFault(request, fault, occurrence); };
}

std::function<SimProfile()> Default() {
  return [] { return CTestRig::Profile(); };
}

std::string WithTypeLine(const std::string& typeLine) {
  std::string identified = kIdentified;
  return identified.replace(identified.find("\tUPS Type is:"), std::string::npos, typeLine);
}

// A third controller whose CPU has no capabilities: the UPS acknowledges "Not Implemented".
SimProfile ThreeControllers() {
  SimProfile profile = CTestRig::Profile();
  profile.unit.controllers.push_back({3, 0});
  return profile;
}

const std::string kThreeControllerIdLines =
    "Received UPS ID data\n"
    "\tNumber of controllers in UPS is: 3\n"
    "\tCurrent firmware version of Communications controller is:  2.10\n"
    "\tCurrent firmware version of Inverter controller is:  1.05\n"
    "\tCurrent firmware version of Rectifier controller is:  3.00\n";

std::vector<FailureRow> Rows() {
  const StatusColour ok = StatusColour::Ok;
  const StatusColour red = StatusColour::Failure;
  const std::vector<std::string> noBox;
  const std::vector<std::string> noSerial{kUnableToCommunicate};
  const std::vector<std::string> noFlash{kNoFlashCapability};
  const std::string afterHandshake = kHandshake + kIdLines;
  return {
      // The start-up handshake: an undecodable reply ends identification at once, without red or hint.
      {"StartCommUndecodable", Fault(SimRequestKind::StartComm, SimFaultKind::BadChecksum),
       "Received Response to Start Comm Request\n\tError 5 decoding UPS data\n", noSerial, 0, ok},
      {"StartCommUnanswered", Fault(SimRequestKind::StartComm, SimFaultKind::NoReply),
       kHandshakeTimeout + kIdentified + kServiceMode + kDefaultCapabilities, noBox, 1, ok},
      // The ID and configuration blocks.
      {"IdUnanswered", Fault(SimRequestKind::IdBlock, SimFaultKind::NoReply),
       kHandshake + "Timed out waiting for UPS ID data\n" + kOemHint, noSerial, 0, red},
      {"IdUndecodable", Fault(SimRequestKind::IdBlock, SimFaultKind::BadChecksum),
       kHandshake + kIdReceived + "\tError 5 decoding UPS data\n" + kOemHint, noSerial, 0, red},
      {"IdWrongBlock", Fault(SimRequestKind::IdBlock, SimFaultKind::WrongBlock),
       kHandshake + kIdReceived + "\tError: Received block 9 instead of ID block\n" + kOemHint, noSerial, 0,
       red},
      {"ConfigUnanswered", Fault(SimRequestKind::ConfigBlock, SimFaultKind::NoReply),
       afterHandshake + "Timed out waiting for UPS Configuration data\n" + kOemHint, noSerial, 0, red},
      {"ConfigUndecodable", Fault(SimRequestKind::ConfigBlock, SimFaultKind::BadChecksum),
       afterHandshake + kConfigReceived + "\tError 5 decoding UPS data\n" + kOemHint, noSerial, 0, red},
      {"ConfigWrongBlock", Fault(SimRequestKind::ConfigBlock, SimFaultKind::WrongBlock),
       afterHandshake + kConfigReceived + "\tError: Received block 9 instead of ID block\n" + kOemHint,
       noSerial, 0, red},
      // The model file: a code it lacks fails with an empty name; no file or no [0] section
      // gives an empty name and does not fail.
      {"TypeCodeNotInModelFile",
       [] {
         SimProfile p = CTestRig::Profile();
         p.unit.typeCode = 999;
         return p;
       },
       kHandshake + WithTypeLine("\tUPS Type is: 999 = \n") + kOemHint, noSerial, 0, red},
      {"ModelFileMissing", Default(),
       kHandshake + WithTypeLine("\tUPS Type is: 500 = \n") + kServiceMode + kDefaultCapabilities, noBox, 1,
       ok, [](CTestRig& rig) { rig.dir.Remove("OEMModel.ini"); }},
      {"ModelFileWithoutItsSection", Default(),
       kHandshake + WithTypeLine("\tUPS Type is: 500 = \n") + kServiceMode + kDefaultCapabilities, noBox, 1,
       ok,
       [](CTestRig& rig) {
         std::string odd = "[1]\n500 = Tobrane 500\n" + std::string(100000, 'x') + "\n";
         odd += std::string("\x01\xFF\x00\x7F=\x80\n", 7);
         rig.dir.Write("OEMModel.ini", odd);
       }},
      // Service mode: without it the capabilities are not read and nothing is flashable.
      {"ServiceModeUnanswered", Fault(SimRequestKind::ServiceMode, SimFaultKind::NoReply),
       kHandshake + kIdentified + "Timed out waiting for service mode response\n", noFlash, 1, ok},
      {"ServiceModeUndecodable", Fault(SimRequestKind::ServiceMode, SimFaultKind::BadChecksum),
       kHandshake + kIdentified + kServiceModeReceived + "\tError 5 decoding response\n", noFlash, 1, ok},
      {"ServiceModeOtherBlock", Fault(SimRequestKind::ServiceMode, SimFaultKind::WrongBlock),
       kHandshake + kIdentified + kServiceModeReceived +
           "\tError: Received block 10 instead expected response block\n" + kDefaultCapabilities,
       noBox, 1, ok},
      {"ServiceModeNotImplemented",
       [] {
         SimProfile p = CTestRig::Profile();
         p.unit.serviceModeAck = '2';
         return p;
       },
       kHandshake + kIdentified + kServiceMode + kDefaultCapabilities, noBox, 1, ok},
      // Capabilities: a silent CPU is skipped, an undecodable reply ends the step, an acknowledge or
      // another block turns the background red.
      {"CapabilitiesOfCpu1Unanswered", Fault(SimRequestKind::Capabilities, SimFaultKind::NoReply),
       kHandshake + kIdentified + kServiceMode +
           "Timed out waiting for UPS Flash capabilities data from CPU 1\n" + kCpu2Capabilities,
       noBox, 1, ok},
      {"CapabilitiesUndecodable", Fault(SimRequestKind::Capabilities, SimFaultKind::BadChecksum),
       kHandshake + kIdentified + kServiceMode + kCapsReceived +
           "\tError 5 decoding Flash capabilities data\n",
       noFlash, 1, ok},
      {"CapabilitiesAcknowledgedForCpu1", Fault(SimRequestKind::Capabilities, SimFaultKind::WrongBlock),
       kHandshake + kIdentified + kServiceMode + kCapsReceived + kAckInsteadOfCapabilities +
           kCpu2Capabilities,
       noBox, 1, red},
      {"CapabilitiesAcknowledgedForTheLastCpu",
       Fault(SimRequestKind::Capabilities, SimFaultKind::WrongBlock, 2),
       kHandshake + kIdentified + kServiceMode + kCpu1Capabilities + kCapsReceived +
           kAckInsteadOfCapabilities + "\t\tACK code C = Command/Request ? \"ACK type unknown\"\n",
       noBox, 1, red},
      {"CapabilitiesNotImplementedForCpu3", ThreeControllers,
       kHandshake + kThreeControllerIdLines + kConfigLines + kServiceMode + kDefaultCapabilities +
           kCapsReceived + kAckInsteadOfCapabilities + "\t\tACK code 2 = Command/Request Not Implemented\n",
       noBox, 1, red},
      {"CapabilitiesOtherBlockForCpu3",
       [] {
         SimProfile p = ThreeControllers();
         p.faults.push_back({SimRequestKind::Capabilities, 3, 1, SimFaultKind::WrongBlock});
         return p;
       },
       kHandshake + kThreeControllerIdLines + kConfigLines + kServiceMode + kDefaultCapabilities +
           kCapsReceived + "\tError: Received block 10 instead of Flash capabilities block\n",
       noBox, 1, red},
      {"OnlyReadOnlyCodeSpaces",
       [] {
         SimProfile p = CTestRig::Profile();
         p.unit.cpus.resize(1);
         p.unit.cpus[0].spaces = {SimSpace{0x13, 128, 0x8000, 0x8000}};
         return p;
       },
       kHandshake + kIdentified + kServiceMode + kCapsReceived +
           "\tResponding cpu is: 1 = communications\n"
           "\tCode memory access is: read only from 00008000 for 32768 bytes\n"
           "\t\tMaximum block size (flash sector size) for this space is 128\n" +
           kCapsReceived + kAckInsteadOfCapabilities + "\t\tACK code 2 = Command/Request Not Implemented\n",
       noFlash, 1, red},
  };
}

void PrintTo(const FailureRow& row, std::ostream* os) {
  *os << row.name;
}

class ConnectFailure : public ::testing::TestWithParam<FailureRow> {};

}  // namespace

TEST_P(ConnectFailure, ShowsItsLinesColourAndBox) {
  const FailureRow& row = GetParam();
  CTestRig rig(row.profile());
  row.beforeStart(rig);
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.Text(), kEstablished19200 + kDefaultPnpLines + row.afterPnp);
  EXPECT_EQ(rig.view.boxes, row.boxes);
  EXPECT_EQ(rig.view.colour, row.colour);
  const CConnectionState& c = rig.frame->Connection();
  EXPECT_EQ(c.connected, row.connected);
  EXPECT_EQ(c.idle, 1);
  EXPECT_EQ(c.connectBusy, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, ConnectFailure, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<FailureRow>& row) { return row.param.name; });

TEST(ConnectFailureDetail, VersionsStayWhenTheConfigurationFails) {
  CTestRig rig(WithFault(SimRequestKind::ConfigBlock, SimFaultKind::NoReply));
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.frame->Connection().firmwareVersions[0], 0x0210);
  EXPECT_EQ(rig.frame->Connection().firmwareVersions[1], 0x0105);
}

TEST(ConnectFailureDetail, ServiceModeFailureAsksNoCapabilities) {
  CTestRig rig(WithFault(SimRequestKind::ServiceMode, SimFaultKind::NoReply));
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.ups.Count(SimRequestKind::Capabilities), 0);
  EXPECT_EQ(rig.frame->Connection().spaceCount, 1);
}

TEST(ConnectFailureDetail, UndecodableCapabilitiesStopTheRemainingCpus) {
  CTestRig rig(WithFault(SimRequestKind::Capabilities, SimFaultKind::BadChecksum));
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_EQ(rig.ups.Count(SimRequestKind::Capabilities), 1);
}

TEST(ConnectFailureDetail, TheRecordedCpuIsTheOneTheUpsNames) {
  SimProfile profile = CTestRig::Profile();
  profile.unit.cpus[1].reportsAs = 3;
  CTestRig rig(profile);
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_NE(rig.Text().find("\tResponding cpu is: 3 = rectifier/charger\n"), std::string::npos);
  EXPECT_EQ(rig.frame->Connection().spaces[3].spaceCpu, 3);
}

TEST(ConnectFailureDetail, RendalModelsSwitchVerifyOffInMemoryOnly) {
  for (std::uint16_t code : {502, 503}) {
    SimProfile profile = CTestRig::Profile();
    profile.unit.typeCode = code;
    CTestRig rig(profile);
    rig.Start();
    rig.Run(kCmdConnect);
    EXPECT_EQ(rig.app->options.verifyAfterFlash, 0) << code;
    EXPECT_EQ(rig.store.Read("Config", "Verify"), "Y") << code;
  }
}

TEST(ConnectFailureDetail, ADescriptorCutShortAtTheEndOfAFullReply) {
  // 22 spaces and 11 more bytes make 299: a 23rd descriptor starts there and reads its missing
  // bytes as 0, inside the reply's buffer.
  SimProfile profile = CTestRig::Profile();
  profile.unit.cpus.resize(1);
  SimCpu& cpu = profile.unit.cpus[0];
  cpu.spaces.clear();
  for (std::uint32_t i = 0; i < 22; ++i) cpu.spaces.push_back(SimSpace{0x33, 128, 0x8000 + i * 0x100, 0x100});
  cpu.tail = {0x33, 0x80, 0, 0, 0, 0x00, 0xA0, 0, 0, 0x10, 0};
  profile.line.splitDataBytes = 100;
  CTestRig rig(profile);
  rig.Start();
  rig.Run(kCmdConnect);
  EXPECT_NE(rig.Text().find("\tCode memory access is: read/write from 0000A000 for 16 bytes\n"
                            "\t\tMaximum block size (flash sector size) for this space is 128\n"
                            "Received response to request for Flash capabilities\n"),
            std::string::npos);
  EXPECT_EQ(rig.frame->Connection().spaceCount, 24);
}
