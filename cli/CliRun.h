#pragma once

#include <atomic>
#include <optional>
#include <ostream>

#include "app/SettingsStore.h"
#include "cli/CliView.h"
#include "frontend/LoaderOptions.h"

// Runs one command of the command-line front end over CMainFrame, with the
// settings from the given store, and returns its exit status
// (frontend/ExitCodes.h).
int RunCliCommand(const LoaderCommandLine& command, ISettingsStore& store, CCliView::Streams io,
                  const std::atomic<bool>* interrupted);

// What a main answers before any run: the help, the version or a usage
// error, written here. Its exit status, or nothing when a command is to run.
std::optional<int> AnswerWithoutRun(const LoaderParseResult& parsed, std::ostream& out, std::ostream& err);
