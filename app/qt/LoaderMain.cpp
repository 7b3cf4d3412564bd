#include <QApplication>
#include <QCommandLineParser>
#include <memory>

#include "app/LoaderApp.h"
#include "app/frontend/QSettingsStore.h"
#include "app/qt/MainWindow.h"
#include "serial/TermiosDevice.h"

int main(int argc, char** argv) {
  QApplication qtApp(argc, argv);
  QApplication::setApplicationName("Tobrane PROM Loader");
  QCommandLineParser parser;
  parser.setApplicationDescription("Tobrane PROM Loader: program UPS firmware over RS-232.");
  parser.addHelpOption();
  const QCommandLineOption device("device", "Open PATH (for example /dev/ttyUSB0) for every COM port.",
                                  "PATH");
  parser.addOption(device);
  parser.addPositionalArgument("FILE", "ROM image to load and program at start-up.", "[FILE]");
  parser.process(qtApp);

  CQSettingsStore store;
  CSystemClock clock;
  CLoaderApp app(store, clock, std::make_unique<CTermiosDevice>());
  const QStringList files = parser.positionalArguments();
  app.Start(files.isEmpty() ? std::string() : files.front().toStdString());
  // The option lasts for this run only; the stored "Device" stays as it is.
  if (parser.isSet(device) && app.Port()) app.Port()->SetDeviceOverride(parser.value(device).toStdString());

  CMainWindow window(app);
  app.AttachMainWindow(window.Frame());
  if (window.Create() != 0) return 1;
  window.resize(640, 480);
  window.show();
  return QApplication::exec();
}
