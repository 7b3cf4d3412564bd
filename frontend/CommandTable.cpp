#include "frontend/CommandTable.h"

#include "app/CommandIds.h"
#include "resources/Strings.h"

namespace {

struct ToolbarButton {
  int id;
  const char* icon;
};

// In toolbar order; id 0 is a separator.
constexpr ToolbarButton kToolbarButtons[] = {
#define TOOLBAR_BUTTON(id, icon) {id, #icon},
#define TOOLBAR_GAP() {0, nullptr},
#include "frontend/ToolbarButtons.def"
#undef TOOLBAR_BUTTON
#undef TOOLBAR_GAP
};

const char* ToolbarIcon(int id) {
  for (const ToolbarButton& button : kToolbarButtons)
    if (id != 0 && button.id == id) return button.icon;
  return nullptr;
}

CommandEntry Command(int id, StringId text, StringId prompt) {
  return {id, Text(text), Text(prompt), ToolbarIcon(id), false};
}

CommandEntry Toggle(int id, StringId text, StringId prompt) {
  return {id, Text(text), Text(prompt), nullptr, true};
}

const CommandEntry kSeparator{};

}  // namespace

const std::vector<MenuEntry>& MenuBarCommands() {
  static const std::vector<MenuEntry> menus = {
      {Text(kStrMenuFile),
       {Command(kCmdOpen, kStrCmdOpen, kStrPromptOpen), Command(kCmdClose, kStrCmdClose, kStrPromptClose),
        kSeparator, Command(kCmdConfiguration, kStrCmdConfiguration, kStrPromptConfiguration), kSeparator,
        Command(kCmdConnect, kStrCmdConnect, kStrPromptConnect), kSeparator,
        Command(kCmdSelectSubmodule, kStrCmdSelectSubmodule, kStrPromptSelectSubmodule), kSeparator,
        Command(kCmdProgram, kStrCmdProgram, kStrPromptProgram),
        Command(kCmdVerify, kStrCmdVerify, kStrPromptVerify), kSeparator,
        Command(kCmdSaveReport, kStrCmdSaveReport, kStrPromptSaveReport), kSeparator,
        Command(kCmdExit, kStrCmdExit, kStrPromptExit)}},
      {Text(kStrMenuView),
       {Toggle(kCmdViewToolbar, kStrCmdToolbar, kStrPromptToolbar),
        Toggle(kCmdViewStatusBar, kStrCmdStatusBar, kStrPromptStatusBar),
        Toggle(kCmdViewFrameTrace, kStrCmdFrameTrace, kStrPromptFrameTrace)}},
      {Text(kStrMenuHelp), {Command(kCmdAbout, kStrCmdAbout, kStrPromptAbout)}},
  };
  return menus;
}

const std::vector<int>& ToolbarCommands() {
  static const std::vector<int> ids = [] {
    std::vector<int> order;
    for (const ToolbarButton& button : kToolbarButtons) order.push_back(button.id);
    return order;
  }();
  return ids;
}

const CommandEntry* FindCommand(int id) {
  if (id == 0) return nullptr;
  for (const MenuEntry& menu : MenuBarCommands())
    for (const CommandEntry& entry : menu.items)
      if (entry.id == id) return &entry;
  return nullptr;
}

bool DroppedWhileBusy(int id) {
  const CommandEntry* entry = FindCommand(id);
  return entry != nullptr && !entry->checkable;
}
