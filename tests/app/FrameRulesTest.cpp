#include <gtest/gtest.h>

#include "app/CommandIds.h"
#include "tests/connection/ConnectText.h"

using namespace connect_text;

namespace {

const int kAllCommands[] = {kCmdOpen,    kCmdClose,  kCmdConfiguration, kCmdConnect,     kCmdSelectSubmodule,
                            kCmdProgram, kCmdVerify, kCmdExit,          kCmdViewToolbar, kCmdViewStatusBar,
                            kCmdAbout};

std::vector<int> Enabled(const CMainFrame& frame) {
  std::vector<int> enabled;
  for (int id : kAllCommands)
    if (frame.IsCommandEnabled(id)) enabled.push_back(id);
  return enabled;
}

const std::vector<int> kNoImage{kCmdOpen, kCmdConfiguration, kCmdConnect,       kCmdSelectSubmodule,
                                kCmdExit, kCmdViewToolbar,   kCmdViewStatusBar, kCmdAbout};
const std::vector<int> kImageOpen{kCmdClose, kCmdConfiguration, kCmdConnect,       kCmdProgram, kCmdVerify,
                                  kCmdExit,  kCmdViewToolbar,   kCmdViewStatusBar, kCmdAbout};

std::vector<int> Without(std::vector<int> ids, int id) {
  std::erase(ids, id);
  return ids;
}

}  // namespace

TEST(FrameRules, EnablingFollowsTheImageAndTheRunningCommand) {
  CTestRig rig;
  rig.Start();
  EXPECT_EQ(Enabled(*rig.frame), kNoImage);

  std::vector<std::vector<int>> duringConnect;
  rig.view.onPump = [&] { duringConnect.push_back(Enabled(*rig.frame)); };
  ASSERT_TRUE(rig.ConnectAndOpen(rig.WriteRom({})));
  ASSERT_FALSE(duringConnect.empty());
  EXPECT_EQ(duringConnect.front(), Without(kNoImage, kCmdConnect));
  EXPECT_EQ(Enabled(*rig.frame), kImageOpen);

  std::vector<int> duringProgram;
  rig.view.onPump = [&] { duringProgram = Enabled(*rig.frame); };
  rig.Run(kCmdProgram);
  EXPECT_EQ(duringProgram, Without(Without(kImageOpen, kCmdClose), kCmdProgram));
  // Program UPS always closes the image at its end.
  EXPECT_EQ(Enabled(*rig.frame), kNoImage);
  rig.view.onPump = nullptr;  // the frame pumps messages while it closes the port
}

TEST(FrameRules, AnImageWithoutDataCanBeVerifiedButNotProgrammed) {
  CTestRig rig;
  rig.Start();
  std::vector<std::uint8_t> sixteen = BuildSampleRom({});
  sixteen.resize(16);
  ASSERT_TRUE(rig.ConnectAndOpen(rig.dir.Write("short.rom", sixteen)));
  EXPECT_EQ(rig.frame->Rom().romDataSize, 0);
  EXPECT_EQ(Enabled(*rig.frame), Without(kImageOpen, kCmdProgram));
}

TEST(FrameRules, CloseIsRefusedUntilTheFirstPaintHasEnded) {
  CTestRig rig;
  rig.Start("", false);
  EXPECT_FALSE(rig.frame->OnCloseRequest());
  EXPECT_NE(rig.app->Port(), nullptr);
  EXPECT_TRUE(rig.ups.Record().requests.empty());
  rig.frame->FirstPaint();
  EXPECT_TRUE(rig.frame->OnCloseRequest());
}

TEST(FrameRules, CloseIsRefusedAfterAFailedTransferUntilAConnectHasEnded) {
  CTestRig rig(WithFault(SimRequestKind::ProgramBlock, SimFaultKind::NoReply, 1, 5));
  rig.Start();
  ASSERT_TRUE(rig.ConnectAndOpen(rig.WriteRom({})));
  rig.Run(kCmdProgram);
  ASSERT_EQ(rig.view.boxes, std::vector<std::string>{"Error: Timed Out on Retries"});
  rig.Run(kCmdExit);
  EXPECT_FALSE(rig.frame->Closed());
  EXPECT_NE(rig.app->Port(), nullptr);
  rig.Run(kCmdConnect);
  EXPECT_TRUE(rig.frame->OnCloseRequest());
}

TEST(FrameRules, AnAcceptedCloseSaysStartCommLastAndClosesThePort) {
  CTestRig rig;
  rig.Start();
  rig.Run(kCmdConnect);
  const std::size_t before = rig.ups.Record().requests.size();
  rig.Run(kCmdExit);
  EXPECT_TRUE(rig.frame->Closed());
  EXPECT_EQ(rig.app->Port(), nullptr);
  const std::vector<SimRequestRecord>& requests = rig.ups.Record().requests;
  ASSERT_EQ(requests.size(), before + 2);
  EXPECT_EQ(requests[before].kind, SimRequestKind::Authorization);
  EXPECT_EQ(requests[before + 1].kind, SimRequestKind::StartComm);
}
