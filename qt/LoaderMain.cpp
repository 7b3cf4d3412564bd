#include <QApplication>
#include <QMessageBox>
#include <iostream>
#include <memory>

#include "app/LoaderApp.h"
#include "frontend/ExitCodes.h"
#include "frontend/LoaderOptions.h"
#include "frontend/LoaderStartup.h"
#include "frontend/QSettingsStore.h"
#include "qt/MainWindow.h"

namespace {

std::vector<std::string> Words(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& word : list) out.push_back(word.toStdString());
  return out;
}

// True when the run ends with the help or the version text.
bool AnsweredWithoutWindow(const LoaderParseResult& parsed) {
  if (parsed.options.help) std::cout << WindowHelpText();
  if (parsed.options.version) std::cout << "tobrane-loader " << TOBRANE_VERSION << '\n';
  return parsed.options.help || parsed.options.version;
}

// Before the window opens the port: a "Port Open FAILED" may be their doing.
void ShowStartupWarnings(const CLoaderApp& app, const LoaderCommandLine& options) {
  QStringList warnings;
  for (const std::string& warning : StartupWarnings(app, options))
    warnings << QString::fromStdString(warning);
  if (!warnings.isEmpty())
    QMessageBox::warning(nullptr, QApplication::applicationName(), warnings.join("\n\n"));
}

}  // namespace

int main(int argc, char** argv) {
  // --help and --version need no display: answered before Qt connects to one.
  if (AnsweredWithoutWindow(ParseWindowCommandLine(std::vector<std::string>(argv, argv + argc))))
    return kExitSuccess;
  QApplication qtApp(argc, argv);
  QApplication::setApplicationName("Tobrane PROM Loader");
  // Qt has taken its own options (-platform and the like) out by now.
  const LoaderParseResult parsed = ParseWindowCommandLine(Words(QCoreApplication::arguments()));
  if (AnsweredWithoutWindow(parsed)) return kExitSuccess;
  if (!parsed.error.empty()) {
    std::cerr << "tobrane-loader: " << parsed.error << "\nTry 'tobrane-loader --help'.\n";
    return kExitUsage;
  }
  CQSettingsStore store;
  CSystemClock clock;
  const std::unique_ptr<CLoaderApp> started = StartLoader(store, clock, parsed.options);
  CLoaderApp& app = *started;
  ShowStartupWarnings(app, parsed.options);
  // The parsed word as it is: the core's own reading of a command line cuts a
  // path at its first blank and keeps a quote.
  app.commandLineFileName = parsed.options.file;

  CMainWindow window(app);
  app.AttachMainWindow(window.Frame());
  window.resize(640, 480);
  if (!parsed.options.trace.empty()) window.StartFrameTrace(parsed.options.trace);
  if (window.Create(CMainWindow::Showing::ShownFirst) != 0) return 1;
  return QApplication::exec();
}
