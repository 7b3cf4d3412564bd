#include "app/qt/CommandTable.h"

#include "app/CommandIds.h"

const std::vector<CommandEntry>& FileMenuCommands() {
  static const std::vector<CommandEntry> commands = {
      {kCmdOpen, "&Open...\tCtrl+O", "Open a ROM data file for downloading\nOpen", ":/icons/open.xpm"},
      {kCmdClose, "&Close", "Close the active ROM image file\nClose", ":/icons/close.xpm"},
      {0, nullptr, nullptr, nullptr},
      {kCmdConfiguration, "Con&figuration...", "Configure Flash Settings\nConfig COM", nullptr},
      {0, nullptr, nullptr, nullptr},
      {kCmdConnect, "Connect to &UPS", "Attempt to establish connection with UPS\nConnect to UPS",
       ":/icons/connect.xpm"},
      {0, nullptr, nullptr, nullptr},
      {kCmdSelectSubmodule, "&Select SubModule...", "Select submodule to flash\nSelect SubModule",
       ":/icons/submodule.xpm"},
      {0, nullptr, nullptr, nullptr},
      {kCmdProgram, "&Program UPS", "Start programming the UPS with the currently open file\nProgram UPS",
       ":/icons/program.xpm"},
      {kCmdVerify, "&Verify Program", "Verify UPS Data to File Data\nVerify Programming",
       ":/icons/verify.xpm"},
      {0, nullptr, nullptr, nullptr},
      {kCmdExit, "E&xit", "Quit the application\nExit", nullptr},
  };
  return commands;
}

const std::vector<CommandEntry>& ViewMenuCommands() {
  static const std::vector<CommandEntry> commands = {
      {kCmdViewToolbar, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", nullptr},
      {kCmdViewStatusBar, "&Status Bar", "Show or hide the status bar\nToggle StatusBar", nullptr},
      {kCmdViewFrameTrace, "&Frame Trace...",
       "Write every frame and line-speed change to a file\nToggle Frame Trace", nullptr},
  };
  return commands;
}

const CommandEntry& AboutCommand() {
  static const CommandEntry about = {kCmdAbout, "&About Tobrane...",
                                     "Display program information, version number and copyright\nAbout",
                                     ":/icons/about.xpm"};
  return about;
}

const std::vector<int>& ToolbarCommands() {
  static const std::vector<int> ids = {kCmdOpen,    kCmdClose,  kCmdConnect, kCmdSelectSubmodule,
                                       kCmdProgram, kCmdVerify, 0,           kCmdAbout};
  return ids;
}
