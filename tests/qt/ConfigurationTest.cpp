#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include "app/CommandIds.h"
#include "tests/qt/WindowRig.h"

namespace {

// Answers the Configuration dialog by clicking the named controls and then
// the given button; message boxes are recorded and closed.
struct ConfigAnswer {
  QStringList clicks;
  QString button = "1";
  QStringList messages;
  void operator()(QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
      messages << box->text();
      box->accept();
      return;
    }
    for (const QString& name : clicks) modal.findChild<QAbstractButton*>(name)->click();
    clicks.clear();
    modal.findChild<QAbstractButton*>(button)->click();
  }
};

std::map<std::pair<std::string, std::string>, std::string> Section(const CMemorySettingsStore& store,
                                                                   const std::string& section) {
  std::map<std::pair<std::string, std::string>, std::string> out;
  for (const auto& [key, value] : store.Values())
    if (key.first == section) out[key] = value;
  return out;
}

}  // namespace

TEST(Configuration, ANewPortReopensWithFixedLineSettingsAndStoresThemEvenWhenTheOpenFails) {
  // Port 2 configured, Com3 chosen: "Port 3 Open FAILED" and the fixed "Serial" values are written.
  WindowRig rig("", "2");
  ConfigAnswer answer{{"1052"}, "1", {}};
  ModalAnswerer modal([&](QWidget& w) { answer(w); });
  ASSERT_EQ(rig.window->Create(), 0);
  EXPECT_EQ(answer.messages, QStringList({"Port Open FAILED"}));
  rig.store.Write("Serial", "BaudRate", "2400");
  rig.window->Trigger(kCmdConfiguration);
  EXPECT_EQ(answer.messages, QStringList({"Port Open FAILED", "Port 3 Open FAILED"}));
  const std::map<std::pair<std::string, std::string>, std::string> expected = {
      {{"Serial", "Port"}, "3"},
      {{"Serial", "BaudRate"}, "19200"},
      {{"Serial", "DataBits"}, "8"},
      {{"Serial", "StopBits"}, "1"},
      {{"Serial", "Parity"}, "N"},
      {{"Serial", "Flow"}, "None"},
      {{"Serial", "Device"}, "/nonexistent/tobrane-test-tty"}};
  EXPECT_EQ(Section(rig.store, "Serial"), expected);
  EXPECT_EQ(rig.app.Port()->settings.port, "3");
  EXPECT_EQ(rig.app.Port()->settings.baud, "19200");
}

TEST(Configuration, OnlyTickingVerifyWritesVerifyAndTouchesNoPort) {
  // Verify off, port unchanged: no message box, only "Config"/"Verify" = "Y", option on at once.
  WindowRig rig("", "2");
  rig.store.Write("Config", "Verify", "N");
  rig.app.options.verifyAfterFlash = 0;
  ConfigAnswer answer{{"1001"}, "1", {}};
  ModalAnswerer modal([&](QWidget& w) { answer(w); });
  ASSERT_EQ(rig.window->Create(), 0);
  answer.messages.clear();
  const auto serialBefore = Section(rig.store, "Serial");
  const auto configBefore = Section(rig.store, "Config");
  rig.window->Trigger(kCmdConfiguration);
  EXPECT_TRUE(answer.messages.isEmpty());
  EXPECT_EQ(rig.app.options.verifyAfterFlash, 1);
  EXPECT_EQ(Section(rig.store, "Serial"), serialBefore);
  auto configAfter = configBefore;
  configAfter[{"Config", "Verify"}] = "Y";
  EXPECT_EQ(Section(rig.store, "Config"), configAfter);
}

TEST(Configuration, APortOutsideOneToFourCountsAsPortZeroOnOkAndCancelChangesNothing) {
  // No radio button selected: OK opens port 0 and stores it; Cancel before that writes nothing.
  WindowRig rig("", "7");
  ConfigAnswer answer{{}, "2", {}};
  ModalAnswerer modal([&](QWidget& w) { answer(w); });
  ASSERT_EQ(rig.window->Create(), 0);
  answer.messages.clear();
  const auto before = rig.store.Values();
  rig.window->Trigger(kCmdConfiguration);
  EXPECT_EQ(rig.store.Values(), before);
  EXPECT_TRUE(answer.messages.isEmpty());
  answer.button = "1";
  rig.window->Trigger(kCmdConfiguration);
  EXPECT_EQ(answer.messages, QStringList({"Port 0 Open FAILED"}));
  EXPECT_EQ(rig.store.Read("Serial", "Port"), "0");
}

TEST(WindowClose, RefusedBeforeTheFirstPaintHasEnded) {
  // The idle flag is 0 until the first paint's notice is dismissed.
  WindowRig rig;
  ModalAnswerer ok([](QWidget& modal) { static_cast<QDialog&>(modal).accept(); });
  ASSERT_EQ(rig.window->Create(), 0);
  EXPECT_FALSE(rig.window->close());
  rig.window->Frame().FirstPaint();
  EXPECT_TRUE(rig.window->close());
}
