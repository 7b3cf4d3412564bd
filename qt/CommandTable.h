#pragma once

#include <vector>

// One entry of menu 128: id, menu text (with mnemonic and accelerator
// after a tab), prompt ("status tip\ntooltip") and toolbar icon.
struct CommandEntry {
  int id;
  const char* menuText;
  const char* prompt;
  const char* icon;  // nullptr: not on the toolbar
};

// The File menu in order, Exit last, where users look for it; id 0 is a separator.
const std::vector<CommandEntry>& FileMenuCommands();
const std::vector<CommandEntry>& ViewMenuCommands();
const CommandEntry& AboutCommand();
// Toolbar 128 in order; id 0 is a separator.
const std::vector<int>& ToolbarCommands();
