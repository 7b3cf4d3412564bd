#include <gtest/gtest.h>

#include <QMessageBox>

#include "frontend/LoaderOptions.h"
#include "qt/NoticeDialogs.h"
#include "tests/qt/SimRig.h"
#include "tests/qt/WindowRig.h"

namespace {

// Records each modal as "box TEXT" or "notice", with whether the main window
// was on screen behind it, and whether a close request then got through.
struct StartupAnswer {
  CMainWindow* window = nullptr;
  QStringList seen;
  void operator()(QWidget& modal) {
    const QString behind = window->isVisible() ? " over window" : " alone";
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
      seen << "box " + box->text() + behind;
      box->accept();
      return;
    }
    if (qobject_cast<CStartupNoticeDialog*>(&modal)) {
      seen << "notice" + behind + (window->close() ? ", closed" : ", close refused");
    }
    static_cast<QDialog&>(modal).accept();
  }
};

// What the transcript says of the rig's device, which does not exist.
const std::string kPortLines =
    "Cannot open serial device /nonexistent/tobrane-test-tty: No such file or directory\r\n"
    "\tThe device is not there: check the cable or adapter, and list the ports with 'tobrane-cli ports'.\r\n";

}  // namespace

TEST(Startup, PortFailureShowsOverTheOpenWindowThenTheNoticeWhileClosingIsRefused) {
  // Created and shown first, then "Port Open FAILED", then the notice; closing works only after it.
  // The transcript names the port and the system's reason on light red, a failed step.
  WindowRig rig;
  StartupAnswer answer{rig.window.get(), {}};
  ModalAnswerer modal([&](QWidget& w) { answer(w); });
  ASSERT_EQ(rig.window->Create(CMainWindow::Showing::ShownFirst), 0);
  EXPECT_EQ(answer.seen, QStringList({"box Port Open FAILED over window"}));
  ASSERT_TRUE(WaitUntil([&] { return !rig.window->Frame().FirstPaintPending() && answer.seen.size() == 2; }));
  EXPECT_EQ(answer.seen[1], "notice over window, close refused");
  EXPECT_EQ(rig.window->windowTitle(), "Tobrane PROM Loader");
  EXPECT_EQ(rig.window->Frame().TranscriptText(), kPortLines);
  EXPECT_EQ(rig.window->Log().Background(), QColor(255, 128, 128));
  EXPECT_TRUE(rig.window->close());
}

TEST(Startup, UnquotedWordsOpenTheWindowAndOpenThenSaysItCannotOpenTheFirst) {
  // "tobrane-loader no such.rom" names no file as a whole: the window opens and says so for "no".
  const LoaderParseResult parsed = ParseWindowCommandLine({"tobrane-loader", "no", "such.rom"});
  ASSERT_EQ(parsed.error, "");
  WindowRig rig;
  rig.app.commandLineFileName = parsed.options.file;
  StartupAnswer answer{rig.window.get(), {}};
  ModalAnswerer modal([&](QWidget& w) { answer(w); });
  ASSERT_EQ(rig.window->Create(CMainWindow::Showing::ShownFirst), 0);
  ASSERT_TRUE(WaitUntil([&] { return answer.seen.contains("box Unable to open file over window"); }))
      << answer.seen.join("|").toStdString();
}

TEST(Startup, AFileOnTheCommandLineIsReadAndProgramUpsAbortsAfterTheNotice) {
  // Notice first, then the header lines and the abort line, exactly as tobrane-cli logs them.
  CModelDir dir;
  const std::string rom = dir.WriteRom();
  WindowRig rig(rom);
  StartupAnswer answer{rig.window.get(), {}};
  ModalAnswerer modal([&](QWidget& w) { answer(w); });
  ASSERT_EQ(rig.window->Create(CMainWindow::Showing::ShownFirst), 0);
  ASSERT_TRUE(WaitUntil([&] { return !rig.window->Frame().FirstPaintPending() && answer.seen.size() == 2; }));
  EXPECT_EQ(answer.seen[1], "notice over window, close refused");
  const std::string shown = rig.window->Frame().TranscriptText();
  EXPECT_NE(shown.find("Aborted flash operation ... can not upgrade this UPS\r\n"), std::string::npos);
  // The port that did not open comes first; the rest is what tobrane-cli logs.
  ASSERT_EQ(shown.rfind(kPortLines, 0), 0u) << shown;
  const std::string text = shown.substr(kPortLines.size());

  CMemorySettingsStore store;
  store.Write("Serial", "Device", "/nonexistent/tobrane-test-tty");
  CSystemClock clock;
  CLoaderApp cliApp(store, clock, std::make_unique<CTermiosDevice>());
  cliApp.Start(rom);
  EXPECT_EQ(UnixLineEnds(text), CliTranscript(cliApp, [](CMainFrame&) {}));
  EXPECT_EQ(rig.window->Log().toPlainText().toStdString(), UnixLineEnds(shown));
  EXPECT_EQ(rig.window->Log().Background(), QColor(255, 128, 128));
  EXPECT_EQ(rig.window->windowTitle(), "Tobrane PROM Loader");
}
