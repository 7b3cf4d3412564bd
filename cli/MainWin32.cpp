// tobrane-cli on Windows: the arguments arrive as UTF-16 and go on in UTF-8,
// output is UTF-8, the settings live in the registry, and Ctrl+C or a closed
// console ends the run through its normal path (end-flash request, port
// closed) as SIGINT does on Linux.
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <iostream>

#include "cli/CliRun.h"
#include "frontend/ExitCodes.h"
#include "frontend/LoaderOptions.h"
#include "frontend/RegistrySettingsStore.h"
#include "frontend/SystemLibrariesWin32.h"
#include "frontend/Win32Text.h"

namespace {

// Windows ends the process this long after a close event; the run's own end
// must come first.
constexpr DWORD kCloseGraceMs = 4500;

std::atomic<bool> gInterrupted{false};
std::atomic<int> gRunStatus{kExitInterrupted};
HANDLE gRunEnded = nullptr;

// Only sets the flag: the core's waits see it. A second Ctrl+C kills.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    gInterrupted.store(true);
    // Windows ends the process with a status of its own once this returns,
    // racing main's return; ending it here keeps the run's status.
    const bool ended = WaitForSingleObject(gRunEnded, kCloseGraceMs) == WAIT_OBJECT_0;
    ExitProcess(static_cast<UINT>(ended ? gRunStatus.load() : kExitInterrupted));
  }
  if (gInterrupted.exchange(true)) return FALSE;
  return TRUE;
}

bool IsTerminal(FILE* stream) {
  return _isatty(_fileno(stream)) != 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  LoadDllsFromSystem32Only();
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(Utf8FromWide(argv[i]));
  const LoaderParseResult parsed = ParseLoaderCommandLine(arguments);
  if (const std::optional<int> code = AnswerWithoutRun(parsed, std::cout, std::cerr)) return *code;
  gRunEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  CCliView::Streams io{std::cout, std::cerr, IsTerminal(stdout), IsTerminal(stderr)};
  CRegistrySettingsStore store;
  const int code = RunCliCommand(parsed.options, store, io, &gInterrupted);
  std::cout.flush();
  std::cerr.flush();
  gRunStatus.store(code);
  SetEvent(gRunEnded);
  return code;
}
