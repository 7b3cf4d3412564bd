#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <iostream>

#include "cli/CliRun.h"
#include "frontend/LoaderOptions.h"
#include "frontend/QSettingsStore.h"

namespace {

std::atomic<bool> gInterrupted{false};

// Only sets the flag: the core's waits see it and the run ends through its
// normal path (end-flash request, port closed). A second SIGINT kills.
void OnInterrupt(int) {
  gInterrupted.store(true);
}

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qt(argc, argv);
  QCoreApplication::setApplicationName("tobrane-cli");
  QCoreApplication::setApplicationVersion(TOBRANE_VERSION);
  std::vector<std::string> arguments(argv, argv + argc);
  const LoaderParseResult parsed = ParseLoaderCommandLine(arguments);
  if (const std::optional<int> code = AnswerWithoutRun(parsed, std::cout, std::cerr)) return *code;
  InstallInterruptHandler();
  CCliView::Streams io{std::cout, std::cerr, isatty(STDOUT_FILENO) != 0, isatty(STDERR_FILENO) != 0};
  CQSettingsStore store;
  return RunCliCommand(parsed.options, store, io, &gInterrupted);
}
