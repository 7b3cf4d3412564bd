#include <gtest/gtest.h>

#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <nlohmann/json.hpp>

#include "app/CommandIds.h"
#include "tests/qt/SimRig.h"

namespace {

const QColor kGreen(128, 255, 128);
const QColor kRed(255, 128, 128);

// Shows the window and lets its first paint run to its end.
void ShowWindow(CMainWindow& window) {
  ASSERT_EQ(window.Create(CMainWindow::Showing::ShownFirst), 0);
  ASSERT_TRUE(WaitUntil([&] { return !window.Frame().FirstPaintPending(); }));
}

// A click as the user makes it: the idle update has run, then the action fires.
void Click(CMainWindow& window, int commandId) {
  window.UpdateCommandStates();
  window.Action(commandId)->trigger();
}

// The image and connection commands an idle update leaves enabled.
QStringList EnabledCommands(CMainWindow& window) {
  static const std::pair<int, const char*> kCommands[] = {
      {kCmdOpen, "Open"},       {kCmdClose, "Close"},     {kCmdSelectSubmodule, "SubModule"},
      {kCmdConnect, "Connect"}, {kCmdProgram, "Program"}, {kCmdVerify, "Verify"}};
  window.UpdateCommandStates();
  QStringList enabled;
  for (const auto& [id, name] : kCommands)
    if (window.Action(id)->isEnabled()) enabled << name;
  return enabled;
}

void ConnectOpenProgram(CMainFrame& frame, const std::string& rom) {
  frame.RunCommand(kCmdConnect);
  frame.OpenNamedFile(rom);
  frame.RunCommand(kCmdProgram);
}

// Drags a local file over the window and drops it; false when the window refuses it.
bool DropFile(CMainWindow& window, const std::string& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  return drop.isAccepted();
}

}  // namespace

TEST(WindowRun, ConnectOpenAndProgramWithVerifyShowWhatTheCommandLinePrints) {
  // Three clicks with the dialogs answered: the UPS holds the image and the transcript is tobrane-cli's.
  SimWindow sim;
  const SampleRomFields fields{.size = 4096};
  const std::string rom = sim.rig.WriteRom(fields);
  sim.romFile = rom;
  ShowWindow(*sim.window);
  for (int id : {kCmdConnect, kCmdOpen, kCmdProgram}) Click(*sim.window, id);
  EXPECT_TRUE(sim.boxes.isEmpty()) << sim.boxes.join("|").toStdString();
  EXPECT_TRUE(sim.window->close());

  const std::string shown = UnixLineEnds(sim.window->Frame().TranscriptText());
  EXPECT_EQ(shown, CliTranscript(CTestRig::Profile(), [&](CMainFrame& f) { ConnectOpenProgram(f, rom); }));
  EXPECT_NE(shown.find("\nVerification Completed\n"), std::string::npos);
  EXPECT_EQ(sim.window->Log().toPlainText().toStdString(), shown);
  EXPECT_EQ(sim.rig.Flash(fields.load, fields.size), SampleRomData(fields));
  EXPECT_EQ(sim.window->Log().Background(), kGreen);
  EXPECT_TRUE(sim.window->Progress().isHidden());
  EXPECT_EQ(sim.window->windowTitle(), "Tobrane PROM Loader");
}

TEST(WindowRun, AFailedTransferTurnsTheTranscriptRedAndClosingWaitsForTheNextConnect) {
  // The UPS answers the second block with a reply of another block: box, red, close refused until a
  // Connect has ended.
  SimProfile profile = CTestRig::Profile();
  profile.faults.push_back({SimRequestKind::ProgramBlock, 2, 1, SimFaultKind::WrongBlock});
  SimWindow sim(profile);
  const std::string rom = sim.rig.WriteRom({.size = 1024});
  sim.romFile = rom;
  ShowWindow(*sim.window);
  for (int id : {kCmdConnect, kCmdOpen, kCmdProgram}) Click(*sim.window, id);

  const std::string shown = UnixLineEnds(sim.window->Frame().TranscriptText());
  EXPECT_NE(shown.find("\nProgramming Failed\n"), std::string::npos);
  EXPECT_EQ(sim.boxes.size(), 1);
  EXPECT_TRUE(sim.boxes.value(0).startsWith("Received wrong block: "));
  EXPECT_EQ(sim.window->Log().Background(), kRed);
  EXPECT_TRUE(sim.window->Progress().isHidden());
  EXPECT_FALSE(sim.window->close());
  EXPECT_TRUE(sim.window->isVisible());
  EXPECT_EQ(shown, CliTranscript(profile, [&](CMainFrame& f) { ConnectOpenProgram(f, rom); }));
  Click(*sim.window, kCmdConnect);
  EXPECT_TRUE(sim.window->close());
}

TEST(WindowRun, SaveReportWritesTheLastProgramRunWithItsFailureBoxAndStatus) {
  // Off until a reported command has run; after a failed Program UPS it writes that run, box and status 1.
  SimProfile profile = CTestRig::Profile();
  profile.faults.push_back({SimRequestKind::ProgramBlock, 2, 1, SimFaultKind::WrongBlock});
  SimWindow sim(profile);
  sim.romFile = sim.rig.WriteRom({.size = 1024});
  ShowWindow(*sim.window);
  sim.window->UpdateCommandStates();
  EXPECT_FALSE(sim.window->Action(kCmdSaveReport)->isEnabled());
  for (int id : {kCmdConnect, kCmdOpen, kCmdProgram}) Click(*sim.window, id);
  const std::string path = sim.romFile + ".json";
  sim.romFile = path;
  Click(*sim.window, kCmdSaveReport);

  std::ifstream file(path);
  const nlohmann::json report = nlohmann::json::parse(file, nullptr, false);
  ASSERT_FALSE(report.is_discarded());
  EXPECT_EQ(report["command"], "program");
  EXPECT_EQ(report["exitStatus"], 1);
  EXPECT_EQ(report["steps"].size(), 1u);
  EXPECT_EQ(report["steps"][0]["name"], "program");
  EXPECT_EQ(report["steps"][0]["outcome"], "failed");
  EXPECT_EQ(report["messageBoxes"].size(), 1u);
  EXPECT_EQ(report["image"]["romDataBytes"], 1024);
  EXPECT_EQ(report["ups"]["typeCode"], sim.window->Frame().Connection().upsTypeCode);
}

TEST(WindowRun, IdleUpdatesFollowTheImageAndProgramUpsWhileClicksDuringItStartNothing) {
  // An open image and a 16-byte one each leave their own commands enabled; during Program UPS every
  // command is greyed, a click on Connect, Verify or Close starts nothing, and the window does not close.
  SimWindow sim;
  const SampleRomFields fields{.size = 2048};
  const std::string rom = sim.rig.WriteRom(fields);
  const std::string tiny = sim.rig.dir.Write("tiny.rom", std::vector<std::uint8_t>(16, 0xAA));
  sim.romFile = tiny;
  ShowWindow(*sim.window);
  EXPECT_EQ(EnabledCommands(*sim.window), QStringList({"Open", "SubModule", "Connect"}));
  Click(*sim.window, kCmdConnect);
  Click(*sim.window, kCmdOpen);
  EXPECT_EQ(EnabledCommands(*sim.window), QStringList({"Close", "Connect", "Verify"}));
  Click(*sim.window, kCmdClose);
  sim.romFile = rom;
  Click(*sim.window, kCmdOpen);
  EXPECT_EQ(EnabledCommands(*sim.window), QStringList({"Close", "Connect", "Program", "Verify"}));

  QStringList during;
  bool closed = true;
  QTimer::singleShot(0, [&] {
    during = EnabledCommands(*sim.window);
    for (int id : {kCmdConnect, kCmdVerify, kCmdClose}) sim.window->Action(id)->trigger();
    closed = sim.window->close();
  });
  const std::string before = UnixLineEnds(sim.window->Frame().TranscriptText());
  Click(*sim.window, kCmdProgram);
  EXPECT_TRUE(during.isEmpty()) << during.join(",").toStdString();
  EXPECT_FALSE(closed);
  EXPECT_EQ(sim.rig.ups.Count(SimRequestKind::IdBlock), 1);
  EXPECT_EQ(sim.rig.ups.Count(SimRequestKind::StartFlash), 1);
  EXPECT_EQ(sim.rig.Flash(fields.load, fields.size), SampleRomData(fields));
  const std::string after = UnixLineEnds(sim.window->Frame().TranscriptText());
  EXPECT_EQ(after.find("Connect", before.size()), std::string::npos) << after.substr(before.size());
  EXPECT_EQ(EnabledCommands(*sim.window), QStringList({"Open", "SubModule", "Connect"}));
  EXPECT_TRUE(sim.boxes.isEmpty()) << sim.boxes.join("|").toStdString();
}

TEST(WindowRun, SelectSubModuleOpensAnImageForTheModulesOwnSpaceAndProgramUpsProgramsIt) {
  // The module behind 00 02 has its Code space where the UPS has none; the one Select SubModule
  // leaves its image open, and Program UPS writes it into the module, as tobrane-cli does.
  SimWindow sim;
  const SampleRomFields fields{.load = 0x20000, .ups = 501, .version = 0x0302, .size = 1024};
  sim.romFile = sim.rig.WriteRom(fields);
  sim.submoduleText = "00 02";
  ShowWindow(*sim.window);
  for (int id : {kCmdConnect, kCmdSelectSubmodule}) Click(*sim.window, id);
  EXPECT_EQ(EnabledCommands(*sim.window), QStringList({"Close", "Connect", "Program", "Verify"}));
  Click(*sim.window, kCmdProgram);
  EXPECT_TRUE(sim.boxes.isEmpty()) << sim.boxes.join("|").toStdString();
  EXPECT_EQ(sim.rig.Flash(fields.load, fields.size, 1, {0, 2}), SampleRomData(fields));
  EXPECT_NE(UnixLineEnds(sim.window->Frame().TranscriptText()).find("\nVerification Completed\n"),
            std::string::npos);
  EXPECT_EQ(sim.window->Log().Background(), kGreen);
}

TEST(WindowRun, ASecondConnectClickStartsNothingAndAWindowBelowOneLineStillEndsAtTheText) {
  // Clicks on Connect while it runs change nothing: the transcript is that of one Connect, and the
  // transcript control, lower than one line, ends scrolled to the end.
  SimWindow sim;
  ShowWindow(*sim.window);
  sim.window->resize(200, 1);
  CLogView& log = sim.window->Log();
  log.setMinimumHeight(0);
  log.setFixedHeight(log.fontMetrics().height() / 2);
  int clicks = 0;
  QStringList during;
  QTimer clicker;
  QObject::connect(&clicker, &QTimer::timeout, [&] {
    if (++clicks == 1) during = EnabledCommands(*sim.window);
    Click(*sim.window, kCmdConnect);
  });
  clicker.start(0);
  Click(*sim.window, kCmdConnect);
  clicker.stop();
  EXPECT_GT(clicks, 1);
  // Greyed while Connect runs, Open and Select SubModule come back after it.
  EXPECT_TRUE(during.isEmpty()) << during.join(",").toStdString();
  EXPECT_EQ(EnabledCommands(*sim.window), QStringList({"Open", "SubModule", "Connect"}));
  EXPECT_LT(log.viewport()->height(), log.fontMetrics().height());
  const std::string shown = UnixLineEnds(sim.window->Frame().TranscriptText());
  EXPECT_EQ(shown, CliTranscript(CTestRig::Profile(), [](CMainFrame& f) { f.RunCommand(kCmdConnect); }));
  EXPECT_EQ(sim.rig.ups.Count(SimRequestKind::IdBlock), 1);
  EXPECT_GT(log.verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
}

TEST(WindowDrop, AFileThatIsNoRomImageGetsTheReadHeaderLineAndOtherNamesAreRefused) {
  // Dropped .rom files run Open, which tells why they are no image; a file of another name is not taken.
  struct Case {
    std::string name;
    std::string content;
    bool taken;
    std::string line;
    QStringList boxes;
  };
  const std::vector<Case> cases = {
      {"notes.txt", "plain text, not an image of anything", false, "", {}},
      {"short.rom", "not an image", true, "File contains no ROM data\n", {}},
      {"notes.rom",
       std::string(64, 'x'),
       true,
       "\tERROR: ROM code is not for this UPS. Make sure that the OEM.ini file is located in the local "
       "directory.\n",
       {"CPU or UPS Type Mismatch...Open correct ROM file for this UPS and insure that OEM.ini file is "
        "present"}},
  };
  for (const Case& c : cases) {
    SimWindow sim;
    ShowWindow(*sim.window);
    const std::string before = UnixLineEnds(sim.window->Frame().TranscriptText());
    EXPECT_EQ(DropFile(*sim.window, sim.rig.dir.Write(c.name, c.content)), c.taken) << c.name;
    const std::string text = UnixLineEnds(sim.window->Frame().TranscriptText());
    EXPECT_EQ(text.substr(0, before.size()), before) << c.name;
    if (c.line.empty()) {
      EXPECT_EQ(text, before) << c.name;
    } else {
      EXPECT_NE(text.find(c.line, before.size()), std::string::npos) << c.name << "\n" << text;
    }
    EXPECT_EQ(sim.boxes, c.boxes) << c.name;
    EXPECT_FALSE(EnabledCommands(*sim.window).contains("Program")) << c.name;
  }
}
