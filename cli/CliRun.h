#pragma once

#include <atomic>

#include "app/frontend/LoaderOptions.h"
#include "cli/CliView.h"

// Runs one command of the command-line front end over CMainFrame and returns
// its exit status (app/frontend/ExitCodes.h).
int RunCliCommand(const LoaderCommandLine& command, CCliView::Streams io,
                  const std::atomic<bool>* interrupted);
