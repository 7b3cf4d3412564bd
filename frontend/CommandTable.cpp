#include "frontend/CommandTable.h"

#include "app/CommandIds.h"
#include "resources/Strings.h"

namespace {

CommandEntry Command(int id, StringId text, StringId prompt, const char* icon = nullptr) {
  return {id, Text(text), Text(prompt), icon, false};
}

CommandEntry Toggle(int id, StringId text, StringId prompt) {
  return {id, Text(text), Text(prompt), nullptr, true};
}

const CommandEntry kSeparator{};

}  // namespace

const std::vector<MenuEntry>& MenuBarCommands() {
  static const std::vector<MenuEntry> menus = {
      {Text(kStrMenuFile),
       {Command(kCmdOpen, kStrCmdOpen, kStrPromptOpen, "open"),
        Command(kCmdClose, kStrCmdClose, kStrPromptClose, "close"), kSeparator,
        Command(kCmdConfiguration, kStrCmdConfiguration, kStrPromptConfiguration), kSeparator,
        Command(kCmdConnect, kStrCmdConnect, kStrPromptConnect, "connect"), kSeparator,
        Command(kCmdSelectSubmodule, kStrCmdSelectSubmodule, kStrPromptSelectSubmodule, "submodule"),
        kSeparator, Command(kCmdProgram, kStrCmdProgram, kStrPromptProgram, "program"),
        Command(kCmdVerify, kStrCmdVerify, kStrPromptVerify, "verify"), kSeparator,
        Command(kCmdSaveReport, kStrCmdSaveReport, kStrPromptSaveReport), kSeparator,
        Command(kCmdExit, kStrCmdExit, kStrPromptExit)}},
      {Text(kStrMenuView),
       {Toggle(kCmdViewToolbar, kStrCmdToolbar, kStrPromptToolbar),
        Toggle(kCmdViewStatusBar, kStrCmdStatusBar, kStrPromptStatusBar),
        Toggle(kCmdViewFrameTrace, kStrCmdFrameTrace, kStrPromptFrameTrace)}},
      {Text(kStrMenuHelp), {Command(kCmdAbout, kStrCmdAbout, kStrPromptAbout, "about")}},
  };
  return menus;
}

const std::vector<int>& ToolbarCommands() {
  static const std::vector<int> ids = {kCmdOpen,    kCmdClose,  kCmdConnect, kCmdSelectSubmodule,
                                       kCmdProgram, kCmdVerify, 0,           kCmdAbout};
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
