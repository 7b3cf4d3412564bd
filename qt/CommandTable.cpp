#include "qt/CommandTable.h"

#include "app/CommandIds.h"
#include "resources/Strings.h"

const std::vector<CommandEntry>& FileMenuCommands() {
  static const std::vector<CommandEntry> commands = {
      {kCmdOpen, Text(kStrCmdOpen), Text(kStrPromptOpen), ":/icons/open.xpm"},
      {kCmdClose, Text(kStrCmdClose), Text(kStrPromptClose), ":/icons/close.xpm"},
      {0, nullptr, nullptr, nullptr},
      {kCmdConfiguration, Text(kStrCmdConfiguration), Text(kStrPromptConfiguration), nullptr},
      {0, nullptr, nullptr, nullptr},
      {kCmdConnect, Text(kStrCmdConnect), Text(kStrPromptConnect), ":/icons/connect.xpm"},
      {0, nullptr, nullptr, nullptr},
      {kCmdSelectSubmodule, Text(kStrCmdSelectSubmodule), Text(kStrPromptSelectSubmodule),
       ":/icons/submodule.xpm"},
      {0, nullptr, nullptr, nullptr},
      {kCmdProgram, Text(kStrCmdProgram), Text(kStrPromptProgram), ":/icons/program.xpm"},
      {kCmdVerify, Text(kStrCmdVerify), Text(kStrPromptVerify), ":/icons/verify.xpm"},
      {0, nullptr, nullptr, nullptr},
      {kCmdSaveReport, Text(kStrCmdSaveReport), Text(kStrPromptSaveReport), nullptr},
      {0, nullptr, nullptr, nullptr},
      {kCmdExit, Text(kStrCmdExit), Text(kStrPromptExit), nullptr},
  };
  return commands;
}

const std::vector<CommandEntry>& ViewMenuCommands() {
  static const std::vector<CommandEntry> commands = {
      {kCmdViewToolbar, Text(kStrCmdToolbar), Text(kStrPromptToolbar), nullptr},
      {kCmdViewStatusBar, Text(kStrCmdStatusBar), Text(kStrPromptStatusBar), nullptr},
      {kCmdViewFrameTrace, Text(kStrCmdFrameTrace), Text(kStrPromptFrameTrace), nullptr},
  };
  return commands;
}

const CommandEntry& AboutCommand() {
  static const CommandEntry about = {kCmdAbout, Text(kStrCmdAbout), Text(kStrPromptAbout),
                                     ":/icons/about.xpm"};
  return about;
}

const std::vector<int>& ToolbarCommands() {
  static const std::vector<int> ids = {kCmdOpen,    kCmdClose,  kCmdConnect, kCmdSelectSubmodule,
                                       kCmdProgram, kCmdVerify, 0,           kCmdAbout};
  return ids;
}
