#include <memory>

#include "app/LoaderApp.h"
#include "frontend/DialogProse.h"
#include "frontend/ExitCodes.h"
#include "frontend/LoaderOptions.h"
#include "frontend/LoaderStartup.h"
#include "frontend/RegistrySettingsStore.h"
#include "frontend/SystemLibrariesWin32.h"
#include "resources/Strings.h"
#include "win32/MainWindow.h"
#include "win32/WideText.h"

namespace {

// The words as the C runtime would split them (quotes keep blanks in a
// path), in UTF-8 like every text of the core; the program's name first.
std::vector<std::string> CommandLineWords() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> out;
  if (!words) return out;
  for (int i = 0; i < count; ++i) out.push_back(Utf8FromWide(words[i]));
  LocalFree(words);
  return out;
}

// A window program has no console to print to.
void ShowText(const std::string& text, UINT icon = 0) {
  MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(Text(kStrAppTitle)).c_str(), MB_OK | icon);
}

// Before the window opens the port: a "Port Open FAILED" may be their doing.
void ShowStartupWarnings(const CLoaderApp& app, const LoaderCommandLine& options) {
  std::string text;
  for (const std::string& warning : StartupWarnings(app, options))
    text += (text.empty() ? "" : "\n\n") + warning;
  if (!text.empty()) ShowText(text, MB_ICONWARNING);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  LoadDllsFromSystem32Only();
  const LoaderParseResult parsed = ParseWindowCommandLine(CommandLineWords());
  if (parsed.options.help || parsed.options.version) {
    ShowText(parsed.options.help ? DialogProse(WindowHelpText()) : "tobrane-loader " TOBRANE_VERSION);
    return kExitSuccess;
  }
  if (!parsed.error.empty()) {
    ShowText(parsed.error + "\n\n" + DialogProse(WindowHelpText()));
    return kExitUsage;
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (!LoadSystemLibrary(L"Msftedit.dll")) return 1;
  CRegistrySettingsStore store;
  CSystemClock clock;
  const std::unique_ptr<CLoaderApp> started = StartLoader(store, clock, parsed.options);
  CLoaderApp& app = *started;
  ShowStartupWarnings(app, parsed.options);
  // The parsed word as it is: the core's own reading of a command line cuts a
  // path at its first blank and keeps a quote.
  app.commandLineFileName = parsed.options.file;
  CWinMainWindow window(app, instance);
  app.AttachMainWindow(window.Frame());
  if (!parsed.options.trace.empty()) window.StartFrameTrace(parsed.options.trace);
  if (!window.Create(showCommand)) return 1;
  return window.Run();
}
