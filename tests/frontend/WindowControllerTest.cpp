#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/CommandIds.h"
#include "frontend/CommandTable.h"
#include "frontend/WindowController.h"
#include "tests/support/TestRig.h"

namespace {

// A window's chrome that records what it was asked to draw.
struct RecordingChrome final : IWindowChrome {
  std::vector<std::string> boxes;
  std::map<int, bool> enabled;
  void ShowMessageBox(const std::string& text) override { boxes.push_back(text); }
  void EnableCommand(int commandId, bool on) override { enabled[commandId] = on; }
  void ShowProgress(const ProgressFigures&) override {}
  std::optional<std::string> AskReportPath() override { return std::nullopt; }
};

// The view a window gives the frame: boxes and polls go through the controller, the rest is recorded.
class ControllerView final : public IView {
 public:
  explicit ControllerView(CRecordingView& record) : record_(record) {}
  CWindowController* controller = nullptr;

  void TranscriptChanged(const CTranscript& t, const TranscriptChange& c) override {
    record_.TranscriptChanged(t, c);
  }
  void ScrollToEnd() override {}
  void SetStatusColour(StatusColour colour) override { record_.SetStatusColour(colour); }
  void MessageBox(const std::string& text) override { controller->MessageBox(text); }
  void SetTitle(const std::string&) override {}
  void SetStatusText(const std::string&) override {}
  void EnableToolbarButton(int, bool) override {}
  void SetWaitCursor(bool) override {}
  void PumpPendingMessages() override {
    controller->Polled();
    record_.PumpPendingMessages();
  }
  bool HasActiveWindow() override { return true; }
  void TransferProgress(TransferKind, std::uint32_t, std::uint32_t) override {}
  std::optional<std::string> AskRomFile() override { return record_.AskRomFile(); }
  std::optional<std::string> AskSubmoduleText() override { return std::nullopt; }
  std::optional<ConfigChoice> AskConfiguration(const ConfigChoice&) override { return std::nullopt; }
  void ShowStartupNotice() override {}
  void ShowAbout() override {}

 private:
  CRecordingView& record_;
};

struct ControllerRig {
  CTestRig rig;
  RecordingChrome chrome;
  ControllerView view{rig.view};
  std::unique_ptr<CWindowController> controller;

  ControllerRig() {
    rig.app->Start("");
    controller = std::make_unique<CWindowController>(*rig.app, view, chrome);
    view.controller = controller.get();
    rig.app->AttachMainWindow(controller->Frame());
    controller->CreateFrame();
    controller->FirstPaint();
  }
};

}  // namespace

TEST(WindowController, ACommandStartedWhileOneRunsIsDroppedAndEveryItemItWouldDropIsGreyed) {
  // Open clicked during Connect asks for no file; meanwhile all but the View toggles are grey.
  ControllerRig r;
  std::map<int, bool> duringConnect;
  r.rig.view.onPump = [&] {
    if (!duringConnect.empty()) return;
    duringConnect = r.chrome.enabled;
    r.controller->Trigger(kCmdOpen);
  };
  r.controller->Trigger(kCmdConnect);
  EXPECT_EQ(r.controller->Frame().Connection().connected, 1);
  EXPECT_EQ(std::count(r.rig.view.events.begin(), r.rig.view.events.end(), "ask rom"), 0);
  for (const auto& [id, on] : duringConnect)
    EXPECT_EQ(on, !DroppedWhileBusy(id)) << "command " << id << " during Connect";
  EXPECT_TRUE(duringConnect.at(kCmdViewFrameTrace));
  EXPECT_FALSE(duringConnect.at(kCmdExit));
  // After it, each item is as the rules say, and the report of the Connect can be saved.
  EXPECT_TRUE(r.chrome.enabled.at(kCmdOpen));
  EXPECT_FALSE(r.chrome.enabled.at(kCmdClose));
  EXPECT_TRUE(r.chrome.enabled.at(kCmdSaveReport));
}

TEST(WindowController, AnUnpluggedLineIsSaidBeforeTheBoxItCauses) {
  // The adapter goes before Connect: the lost device comes first, then the Parts' communication box.
  ControllerRig r;
  r.rig.line->Unplug();
  r.controller->Trigger(kCmdConnect);
  ASSERT_EQ(r.chrome.boxes.size(), 2u);
  EXPECT_EQ(r.chrome.boxes[0].rfind("Lost the serial device ", 0), 0u) << r.chrome.boxes[0];
  EXPECT_EQ(r.chrome.boxes[1].rfind("Unable to communicate", 0), 0u) << r.chrome.boxes[1];
}

TEST(CommandTable, ExitEndsFileAndEveryToolbarButtonIsAMenuCommandWithAnImage) {
  // The table both windows build from: Exit last below a separator, Save Report above it; ids unique.
  const std::vector<CommandEntry>& file = MenuBarCommands().front().items;
  ASSERT_GE(file.size(), 3u);
  EXPECT_EQ(file.back().id, kCmdExit);
  EXPECT_EQ(file[file.size() - 2].id, 0);
  EXPECT_EQ(file[file.size() - 3].id, kCmdSaveReport);
  std::map<int, int> seen;
  for (const MenuEntry& menu : MenuBarCommands()) {
    for (const CommandEntry& entry : menu.items) {
      if (entry.id != 0) {
        EXPECT_EQ(++seen[entry.id], 1) << entry.id;
      }
    }
  }
  for (int id : ToolbarCommands()) {
    if (id == 0) continue;
    ASSERT_NE(FindCommand(id), nullptr) << id;
    EXPECT_NE(FindCommand(id)->icon, nullptr) << id;
  }
}
