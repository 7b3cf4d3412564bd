#pragma once

#include <vector>

// One command of the menu bar: id, menu text (with mnemonic, and the
// accelerator after a tab), prompt ("status tip\ntooltip"), the name of its
// toolbar image, and whether the menu shows it ticked. Id 0 is a separator.
struct CommandEntry {
  int id = 0;
  const char* menuText = nullptr;
  const char* prompt = nullptr;
  const char* icon = nullptr;  // nullptr: not on the toolbar
  bool checkable = false;
};

struct MenuEntry {
  const char* title;
  std::vector<CommandEntry> items;
};

// Menu 128 in order: File (Exit last, where users look for it), View, Help.
const std::vector<MenuEntry>& MenuBarCommands();
// Toolbar 128 in order (ToolbarButtons.def); id 0 is a separator.
const std::vector<int>& ToolbarCommands();
// The entry of a command id; nullptr for none.
const CommandEntry* FindCommand(int id);
// Whether the guard drops the command while another runs: all but the
// View toggles, which only show or hide what is there.
bool DroppedWhileBusy(int id);
