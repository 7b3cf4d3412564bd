#pragma once

// Menu and toolbar command ids.
enum CommandId : int {
  kCmdOpen = 57601,
  kCmdClose = 57602,
  kCmdConfiguration = 130,
  kCmdConnect = 32773,
  kCmdSelectSubmodule = 101,
  kCmdProgram = 32772,
  kCmdVerify = 32774,
  kCmdExit = 57665,
  kCmdViewToolbar = 59392,
  kCmdViewStatusBar = 59393,
  kCmdViewFrameTrace = 32775,
  kCmdSaveReport = 32776,
  kCmdAbout = 57664,
};
