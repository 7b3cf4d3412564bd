#pragma once

// The command-line front end's exit statuses, one per kind of outcome, so a
// depot script can tell a bad cable from a wrong file.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitUpsFailed = 1,      // Connect, Select SubModule, Program UPS or Verify Program failed
  kExitUsage = 2,          // unknown option, missing or extra argument, bad --submodule text
  kExitPortUnusable = 3,   // the serial device cannot be opened or is not a terminal
  kExitRomRejected = 4,    // the ROM file cannot be read or does not fit the UPS
  kExitInterrupted = 130,  // SIGINT: the end-flash request was sent and the port closed
};
