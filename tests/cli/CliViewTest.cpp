#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/CliView.h"
#include "frontend/SerialDeviceList.h"

namespace {

struct ViewRig {
  std::ostringstream out, err;
  CCliView view;
  CTranscript transcript;
  explicit ViewRig(bool terminal) : view({out, err, terminal, terminal}, "fw.rom", "01 00 01") {
    transcript.SetListener(
        [this](const CTranscript& t, const TranscriptChange& c) { view.TranscriptChanged(t, c); });
  }
};

TEST(CliView, PipedOutputIsTheFinalTranscriptWithUnixLineEnds) {
  // Not a terminal: nothing until the end, then the text as the window shows it.
  ViewRig rig(false);
  rig.transcript.AppendText("Programming Started\r\n\r\n");
  rig.transcript.ReplaceLastLine("Programming address: 00001000");
  EXPECT_EQ(rig.out.str(), "");
  rig.view.Finish(rig.transcript);
  EXPECT_EQ(rig.out.str(), "Programming Started\n\nProgramming address: 00001000");
}

TEST(CliView, TerminalShowsTheTranscriptLiveAndRewritesTheLastLine) {
  // On a terminal a new tail is printed and a replaced last line is erased and rewritten.
  ViewRig rig(true);
  rig.transcript.AppendText("Start\r\n");
  rig.transcript.ReplaceLastLine("address: 1");
  rig.transcript.ReplaceLastLine("address: 2");
  EXPECT_EQ(rig.out.str(), "Start\naddress: 1\r\x1b[Kaddress: 2");
  rig.view.Finish(rig.transcript);
  EXPECT_EQ(rig.out.str(), "Start\naddress: 1\r\x1b[Kaddress: 2\n");
}

TEST(CliView, MessageBoxesAndStatusLinesGoToStderr) {
  // A box is "tobrane: TEXT" with its own line breaks; status lines lose their line end.
  ViewRig rig(false);
  rig.view.MessageBox("Verify Failed At Location 00001005\nShould be 05, Was 00");
  rig.view.SetStatusText("Attempting to establish communications with UPS...\r\n");
  EXPECT_EQ(rig.err.str(),
            "tobrane: Verify Failed At Location 00001005\nShould be 05, Was 00\n"
            "Attempting to establish communications with UPS...\n");
}

TEST(CliView, DialogsAreAnsweredFromTheCommandLine) {
  // The ROM file and the submodule route come from the options; configuration is cancelled.
  ViewRig rig(false);
  EXPECT_EQ(rig.view.AskRomFile(), "fw.rom");
  EXPECT_TRUE(rig.view.RomFileAsked());
  EXPECT_EQ(rig.view.AskSubmoduleText(), "01 00 01");
  EXPECT_FALSE(rig.view.AskConfiguration({}).has_value());
}

TEST(CliView, ProgressBarShowsPercentBytesRateAndTimeLeft) {
  // Half of 1000 bytes in 5 s: 50 %, 100 B/s, 5 s left.
  EXPECT_EQ(ProgressBarLine(TransferKind::Programming, 500, 1000, 5.0),
            "Programming [###############...............]  50% 500/1000 bytes 100 B/s 0:05 left");
  EXPECT_EQ(ProgressBarLine(TransferKind::Verifying, 0, 1000, 0.0).find("--:-- left") != std::string::npos,
            true);
}

TEST(CliView, InterruptFlagIsWhatTheCoreSees) {
  // The view reports the SIGINT flag it watches.
  ViewRig rig(false);
  EXPECT_FALSE(rig.view.InterruptRequested());
  std::atomic<bool> flag{false};
  rig.view.WatchInterrupt(&flag);
  flag = true;
  EXPECT_TRUE(rig.view.InterruptRequested());
}

TEST(SerialDeviceList, ListsTtyNodesInNumberOrderThenByIdLinks) {
  // Only serial node names are listed; by-id links show their target and its COM number.
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("tobrane-dev-" + std::to_string(::getpid()));
  fs::create_directories(root / "serial" / "by-id");
  for (const char* name : {"ttyS10", "ttyS2", "ttyUSB0", "ttyACM1", "tty0", "ttySX", "null"}) {
    std::ofstream(root / name).put('x');
  }
  fs::create_symlink(root / "ttyUSB0", root / "serial" / "by-id" / "usb-Adapter");
  const auto list = ListSerialDevices(root.string());
  std::vector<std::string> paths;
  for (const auto& e : list) paths.push_back(fs::path(e.path).lexically_relative(root).string());
  EXPECT_EQ(paths,
            (std::vector<std::string>{"ttyS2", "ttyS10", "ttyACM1", "ttyUSB0", "serial/by-id/usb-Adapter"}));
  EXPECT_EQ(list[0].comNumber, 3);
  EXPECT_EQ(list[4].target, (root / "ttyUSB0").string());
  fs::remove_all(root);
}

}  // namespace
