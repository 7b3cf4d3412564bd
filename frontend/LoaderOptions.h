#pragma once

#include <optional>
#include <string>
#include <vector>

// What the command line asks of one run. Nothing here is ever stored: the
// device and the two options override the settings for this run only.
struct LoaderCommandLine {
  enum class Command { None, Connect, Program, Verify, Inspect, Ports };

  Command command = Command::None;
  std::string file;
  std::string device;
  std::string trace;  // the frame trace file, "-" for stderr; empty for none
  std::optional<std::string> submodule;
  std::optional<std::string> models;  // the model table instead of the search (frontend/ModelTable.h)
  std::string report;                 // the run report file; empty for none
  std::optional<bool> verify;
  bool allowCpu0 = false;
  bool dryRun = false;  // program: check, then stop before the start-flash request
  bool help = false;
  bool version = false;
};

struct LoaderParseResult {
  LoaderCommandLine options;
  std::string error;  // empty when the command line is usable
};

// Parses the command-line front end's arguments (argv[0] first).
LoaderParseResult ParseLoaderCommandLine(const std::vector<std::string>& arguments);

// The --help text, with the commands and every exit status.
std::string LoaderHelpText();

// Parses the window's arguments (argv[0] first): the same run options as the
// command-line front end (no --submodule) and at most one ROM file.
LoaderParseResult ParseWindowCommandLine(const std::vector<std::string>& arguments);
std::string WindowHelpText();
