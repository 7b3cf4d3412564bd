#include <gtest/gtest.h>

#include <memory>

#include "TestRig.h"
#include "app/CommandIds.h"

namespace {

const std::string kSent = "\n\tSubmodule command sent to UPS\n";
const std::string kWrongHex = "Wrong submodule hex data.. Please re-enter.";

// What the follow-up shows for the power module behind a route, its image opened.
const std::string kModuleFollowUp =
    "Received Response to Start Comm Request\n\tReceived block 9\n"
    "Received UPS ID data\n"
    "\tNumber of controllers in UPS is: 1\n"
    "\tCurrent firmware version of Communications controller is:  3.01\n"
    "Received UPS Configuration Data\n\tUPS Type is: 501 = Tobrane Power Module\n"
    "Header size is 20 bytes\n"
    "\tUPS ID is 501  = Tobrane Power Module\n"
    "\tModule to program is Communications\n"
    "\tCode Version Number is  3.05\n"
    "\t\tDated 12/ 7/2026\n"
    "\tLoad Address is: 00008000\n"
    "\tChecksum is correct\n"
    "\nFile contains 512 ROM data bytes\n"
    "Received response to Enter Service Mode request\n"
    "\tSuccessfully entered service mode\n"
    "Received response to request for Flash capabilities\n"
    "\tResponding cpu is: 1 = communications\n"
    "\tCode memory access is: read/write from 00008000 for 32768 bytes\n"
    "\t\tMaximum block size (flash sector size) for this space is 128\n";

const SampleRomFields kModuleImage{.ups = 501, .version = 0x0305};

// The default UPS with more routes to the power module, each acknowledged with its own code.
SimProfile WithRoutes(const std::vector<std::pair<std::vector<std::uint8_t>, std::uint8_t>>& routes) {
  SimProfile profile = CTestRig::Profile();
  const SimUnitProfile module = profile.routes[0].unit;
  for (const auto& [route, ack] : routes) profile.routes.push_back({route, ack, module});
  return profile;
}

// AB, length, CE, the route, and the checksum that makes the frame sum 0.
std::vector<std::uint8_t> Request(const std::vector<std::uint8_t>& route) {
  std::vector<std::uint8_t> frame{0xAB, static_cast<std::uint8_t>(route.size() + 1), 0xCE};
  std::uint8_t sum = 0xAB + 0xCE + frame[1];
  for (std::uint8_t b : route) {
    frame.push_back(b);
    sum = static_cast<std::uint8_t>(sum + b);
  }
  frame.push_back(static_cast<std::uint8_t>(-sum));
  return frame;
}

std::vector<std::vector<std::uint8_t>> SubmoduleRequests(const CTestRig& rig) {
  std::vector<std::vector<std::uint8_t>> frames;
  for (const SimRequestRecord& r : rig.ups.Record().requests)
    if (r.kind == SimRequestKind::Submodule) frames.push_back(r.bytes);
  return frames;
}

}  // namespace

TEST(SelectSubmodule, AcknowledgedRoutes) {
  // The request carries the parsed route; '1' gives the status line for the route, then the
  // module is identified, its image opened, service mode entered and its spaces read.
  struct Case {
    const char* text;
    std::vector<std::uint8_t> route;
    std::vector<std::string> status;
  };
  const std::vector<Case> cases = {
      {"01 00 01", {0x01, 0x00, 0x01}, {"Submodule ACK received: Power Module #  1"}},
      {"00 01", {0x00, 0x01}, {"Submodule ACK received: Power Module #  1"}},
      {"00 00", {0x00, 0x00}, {"Submodule ACK received: Manifold Module"}},
      {"0A", {0x0A}, {}},
      {"0a 0b", {0x0A, 0x0B}, {"Submodule ACK received: Power Module #  B"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CTestRig rig(WithRoutes({{{0x00, 0x00}, '1'}, {{0x0A}, '1'}, {{0x0A, 0x0B}, '1'}}));
    rig.Start();
    rig.Run(kCmdConnect);
    rig.view.submoduleTexts.push_back(c.text);
    rig.view.romFiles.push_back(rig.WriteRom(kModuleImage));
    rig.view.statusLines.clear();
    rig.Run(kCmdSelectSubmodule);
    EXPECT_EQ(SubmoduleRequests(rig), std::vector<std::vector<std::uint8_t>>{Request(c.route)});
    EXPECT_EQ(rig.Text(), kSent + kModuleFollowUp);
    EXPECT_EQ(rig.view.statusLines, c.status);
    EXPECT_TRUE(rig.view.boxes.empty());
    EXPECT_EQ(rig.frame->Connection().routeLength, static_cast<int>(c.route.size()));
    EXPECT_EQ(rig.view.title, "Tobrane PROM Loader");
    EXPECT_EQ(rig.frame->Rom().operation, 0);
    ASSERT_TRUE(rig.frame->IsCommandEnabled(kCmdProgram));
    // Program UPS then reaches the module, not the UPS.
    rig.Run(kCmdProgram);
    EXPECT_EQ(rig.Flash(0x8000, 512, 1, c.route), SampleRomData(kModuleImage));
    ASSERT_EQ(rig.ups.Record().resets.size(), 1u);
    EXPECT_EQ(rig.ups.Record().resets[0].route, c.route);
  }
}

TEST(SelectSubmodule, RefusedOrUnansweredRoutes) {
  // Codes other than '1' end the command with the image closed; a text of the wrong length or
  // with a bad group sends nothing; a route group cut short still sends a fixed byte.
  struct Case {
    const char* text;
    std::vector<std::vector<std::uint8_t>> requests;
    std::string transcript;
    std::vector<std::string> boxes;
  };
  const std::vector<Case> cases = {
      {"01 00 02", {Request({1, 0, 2})}, kSent + "SUBMODULE_TIMEOUT", {}},
      {"01 00 03", {Request({1, 0, 3})}, kSent + "\n SUBMODULE ACK_UNIMPLEMENTED\n", {}},
      {"01 00 01 ", {}, "", {kWrongHex}},
      {"1", {}, "", {kWrongHex}},
      {"x1 01", {}, "", {kWrongHex}},
      {"01 2", {Request({0x01, 0x20})}, kSent + "SUBMODULE_TIMEOUT", {}},
      {"01 02 3", {Request({0x01, 0x02, 0x30})}, kSent + "SUBMODULE_TIMEOUT", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CTestRig rig(WithRoutes({{{1, 0, 2}, '2'}, {{1, 0, 3}, '3'}}));
    rig.Start();
    rig.Run(kCmdConnect);
    rig.view.submoduleTexts.push_back(c.text);
    rig.view.romFiles.push_back(rig.WriteRom(kModuleImage));
    rig.Run(kCmdSelectSubmodule);
    EXPECT_EQ(SubmoduleRequests(rig), c.requests);
    EXPECT_EQ(rig.Text(), c.transcript);
    EXPECT_EQ(rig.view.boxes, c.boxes);
    EXPECT_TRUE(rig.frame->Rom().romFileName.empty());
    EXPECT_FALSE(rig.frame->IsCommandEnabled(kCmdProgram));
    EXPECT_EQ(rig.frame->Rom().operation, 0);
    EXPECT_EQ(rig.ups.Record().requests.back().kind,
              c.requests.empty() ? SimRequestKind::Capabilities : SimRequestKind::Submodule);
  }
}

TEST(SelectSubmodule, AModuleWithItsOwnMemoryMapTakesImagesForItsOwnSpaces) {
  // Behind 00 02 sits a module whose Code space is not the UPS's. Its image opens with the load address
  // line in its usual place and goes in at the module's block size; an image for the UPS's Code space
  // gets the range error there instead and is closed. The requests are those of any other module.
  auto run = [](const char* text, std::uint32_t load) {
    auto rig = std::make_unique<CTestRig>();
    rig->Start();
    rig->Run(kCmdConnect);
    rig->view.submoduleTexts.push_back(text);
    rig->view.romFiles.push_back(rig->WriteRom({.load = load, .ups = 501, .version = 0x0305}));
    rig->Run(kCmdSelectSubmodule);
    return rig;
  };
  auto requestKinds = [](const CTestRig& rig) {
    std::vector<SimRequestKind> kinds;
    for (const SimRequestRecord& r : rig.ups.Record().requests) kinds.push_back(r.kind);
    return kinds;
  };
  const std::string ownCapabilities =
      "\tCode memory access is: read/write from 00020000 for 16384 bytes\n"
      "\t\tMaximum block size (flash sector size) for this space is 64\n"
      "\tBoot Loader memory access is: read only from 0001F000 for 4096 bytes\n"
      "\t\tMaximum block size (flash sector size) for this space is 32\n";
  const std::size_t upsCapabilities = kModuleFollowUp.find("\tCode memory access");
  const std::string followUp = kModuleFollowUp.substr(0, upsCapabilities) + ownCapabilities;
  const std::string loadLine = "\tLoad Address is: 00008000\n";
  const std::size_t loadAt = followUp.find(loadLine);

  const auto equalMap = run("00 01", 0x8000);
  const auto own = run("00 02", 0x20000);
  EXPECT_EQ(own->Text(),
            kSent + std::string(followUp).replace(loadAt, loadLine.size(), "\tLoad Address is: 00020000\n"));
  EXPECT_EQ(requestKinds(*own), requestKinds(*equalMap));
  EXPECT_EQ(own->view.colour, StatusColour::Ok);
  ASSERT_TRUE(own->frame->IsCommandEnabled(kCmdProgram));
  own->Run(kCmdProgram);
  const SampleRomFields fields{.load = 0x20000, .ups = 501, .version = 0x0305};
  EXPECT_EQ(own->Flash(0x20000, 512, 1, {0, 2}), SampleRomData(fields));
  EXPECT_EQ(own->ups.Count(SimRequestKind::ProgramBlock), 512 / 64);

  const auto upsAddress = run("00 02", 0x8000);
  EXPECT_EQ(upsAddress->Text(),
            kSent + std::string(followUp).replace(
                        loadAt, loadLine.size(),
                        "\tERROR: Load Address 00008000 is outside of programmable range\n"));
  EXPECT_EQ(requestKinds(*upsAddress), requestKinds(*equalMap));
  EXPECT_EQ(upsAddress->view.colour, StatusColour::Failure);
  EXPECT_TRUE(upsAddress->view.boxes.empty());
  EXPECT_TRUE(upsAddress->frame->Rom().romFileName.empty());
  EXPECT_FALSE(upsAddress->frame->IsCommandEnabled(kCmdProgram));
}

TEST(SelectSubmodule, ARejectedTextKeepsTheGroupsCountedBeforeIt) {
  // The route length counts the groups parsed before the bad one, so later waits are lengthened by
  // them; a text of the wrong length counts none. Three groups are the most a text can hold, so a
  // length of 3 only comes from an accepted text.
  const std::pair<const char*, int> cases[] = {
      {"zz", 0}, {"01 zz", 1}, {"00 01 zz", 2}, {"01 00 01 ", 0}, {"01 00 01", 3}};
  for (const auto& [text, length] : cases) {
    SCOPED_TRACE(text);
    CTestRig rig;
    rig.Start();
    rig.Run(kCmdConnect);
    rig.view.submoduleTexts.push_back(text);
    rig.view.romFiles.push_back(rig.WriteRom(kModuleImage));
    rig.Run(kCmdSelectSubmodule);
    EXPECT_EQ(rig.frame->Connection().routeLength, length);
  }
}

TEST(SelectSubmodule, UnansweredRequestStillRunsTheFollowUp) {
  // No reply is not a refusal: the line is shown twice and the module is identified anyway.
  SimProfile profile = CTestRig::Profile();
  profile.faults.push_back({SimRequestKind::Submodule, 1, 1, SimFaultKind::NoReply});
  CTestRig rig(profile);
  rig.Start();
  rig.Run(kCmdConnect);
  rig.view.submoduleTexts.push_back("01 00 01");
  rig.view.romFiles.push_back(rig.WriteRom({}));
  rig.Run(kCmdSelectSubmodule);
  EXPECT_EQ(rig.Text().substr(0, 2 * kSent.size()), kSent + kSent);
  EXPECT_EQ(rig.frame->Connection().routeLength, 3);
  EXPECT_TRUE(rig.view.statusLines.size() == 1);  // the Connect's own line only
  EXPECT_FALSE(rig.frame->Rom().romFileName.empty());
}

TEST(SelectSubmodule, AfterThreeConnectsTheModuleStillHasRoomForItsSpaces) {
  // A UPS with 13 Code spaces would fill the table on the third Connect if Connects appended;
  // the module's image must still find the module's space and program.
  SimProfile profile = CTestRig::Profile();
  for (std::uint32_t i = 0; i < 10; ++i)
    profile.unit.cpus[0].spaces.push_back(SimSpace{0x33, 128, 0x40000 + i * 0x1000, 0x1000});
  CTestRig rig(profile);
  rig.Start();
  for (int i = 0; i < 3; ++i) rig.Run(kCmdConnect);
  rig.view.submoduleTexts.push_back("00 01");
  rig.view.romFiles.push_back(rig.WriteRom(kModuleImage));
  rig.Run(kCmdSelectSubmodule);
  EXPECT_EQ(rig.Text(), kSent + kModuleFollowUp);
  ASSERT_TRUE(rig.frame->IsCommandEnabled(kCmdProgram));
  rig.Run(kCmdProgram);
  EXPECT_EQ(rig.Flash(0x8000, 512, 1, {0, 1}), SampleRomData(kModuleImage));
}
