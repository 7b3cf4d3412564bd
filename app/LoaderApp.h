#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "connection/LoaderOptions.h"
#include "ini/ModelLookup.h"
#include "protocol/UpsLink.h"
#include "seams/Clock.h"
#include "serial/SerialPort.h"

class CMainFrame;

// The application object: start-up and settings, and the owner of the serial
// port and link objects for the whole run. Toolkit-neutral.
class CLoaderApp {
 public:
  static constexpr std::size_t kMaxCommandLineFile = 256;

  // `runner`, when given, steps the port's receive pump (serial/SerialPort.h).
  CLoaderApp(ISettingsStore& store, IClock& clock, std::unique_ptr<ISerialDevice> device,
             std::unique_ptr<IPumpRunner> runner = nullptr);

  // The start-up steps up to the main window: the command line's first
  // word, the port and link objects, the settings with their defaults
  // written back, the "Serial"/"Device" override.
  void Start(const std::string& commandLine);
  // What start-up found wrong or surprising in the settings, for the front
  // end to show before the port is opened: a port error may be their doing.
  const std::vector<std::string>& SettingsWarnings() const { return settingsWarnings_; }
  // Records the created main window and registers it with the port.
  void AttachMainWindow(CMainFrame& frame);
  // Hands every frame both ways and every line-speed change to the trace;
  // nullptr stops tracing. The trace must outlive its use.
  void SetFrameTrace(IFrameTrace* trace);

  CSerialPort* Port() { return port_.get(); }
  void DeletePort() { port_.reset(); }
  CUpsLink& Link() { return *link_; }
  ISettingsStore& Store() { return store_; }
  IClock& Clock() { return clock_; }
  CMainFrame* MainWindow() { return mainWindow_; }

  LoaderOptions options;
  std::string commandLineFileName;
  // The model table the lookups read; the front end chooses it.
  std::string modelTable = Text(kStrModelFileName);

 private:
  ISettingsStore& store_;
  IClock& clock_;
  std::unique_ptr<ISerialDevice> pendingDevice_;
  std::unique_ptr<IPumpRunner> pendingRunner_;
  std::unique_ptr<CSerialPort> port_;
  std::unique_ptr<CUpsLink> link_;
  CMainFrame* mainWindow_ = nullptr;
  IFrameTrace* trace_ = nullptr;
  std::vector<std::string> settingsWarnings_;

  int ReadOption(const char* key, bool defaultOn);
};
