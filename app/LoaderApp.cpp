#include "app/LoaderApp.h"

#include <algorithm>
#include <cctype>

#include "app/MainFrame.h"
#include "resources/Strings.h"

namespace {

struct SerialDefault {
  const char* key;
  const char* value;
  std::string SerialSettingsTexts::*field;
};

// The order in which start-up reads and, when empty, writes them back.
constexpr SerialDefault kSerialDefaults[] = {
    {"Port", "2", &SerialSettingsTexts::port},         {"BaudRate", "19200", &SerialSettingsTexts::baud},
    {"DataBits", "8", &SerialSettingsTexts::dataBits}, {"StopBits", "1", &SerialSettingsTexts::stopBits},
    {"Parity", "none", &SerialSettingsTexts::parity},
};

// The first word: up to the first NUL, blank or tab; no quoting.
std::string FirstWord(const std::string& commandLine) {
  std::size_t end = commandLine.find_first_of(std::string(" \t\0", 3));
  if (end == std::string::npos) end = commandLine.size();
  return commandLine.substr(0, std::min(end, CLoaderApp::kMaxCommandLineFile));
}

// Only "Y" is yes; these are what someone who meant yes may have written.
bool LooksLikeYes(std::string value) {
  std::transform(value.begin(), value.end(), value.begin(), [](unsigned char c) { return std::tolower(c); });
  return value == "y" || value == "yes" || value == "1" || value == "true" || value == "on";
}

}  // namespace

CLoaderApp::CLoaderApp(ISettingsStore& store, IClock& clock, std::unique_ptr<ISerialDevice> device,
                       std::unique_ptr<IPumpRunner> runner)
    : store_(store), clock_(clock), pendingDevice_(std::move(device)), pendingRunner_(std::move(runner)) {}

void CLoaderApp::Start(const std::string& commandLine) {
  commandLineFileName = FirstWord(commandLine);
  port_ = std::make_unique<CSerialPort>(clock_, std::move(pendingDevice_), std::move(pendingRunner_));
  link_ = std::make_unique<CUpsLink>();
  port_->SetTrace(trace_);
  link_->SetTrace(trace_);
  for (const SerialDefault& d : kSerialDefaults) {
    std::string value = store_.Read("Serial", d.key);
    if (value.empty()) {
      value = d.value;
      store_.Write("Serial", d.key, value);
    }
    port_->settings.*d.field = value;
  }
  options.verifyAfterFlash = ReadOption("Verify", true);
  options.allowCpu0 = ReadOption("Cpu0", false);
  options.passthrough = ReadOption("Passthrough", false);
  // A device path that stands for the COM number (a pty, a USB adapter).
  // Only read: nothing in the program writes it.
  port_->SetDeviceOverride(store_.Read("Serial", "Device"));
  for (std::string& problem : store_.TakeProblems()) settingsWarnings_.push_back(std::move(problem));
}

int CLoaderApp::ReadOption(const char* key, bool defaultOn) {
  const std::string value = store_.Read("Config", key);
  if (value.empty()) {
    store_.Write("Config", key, defaultOn ? "Y" : "N");
    return defaultOn ? 1 : 0;
  }
  if (value == "Y") return 1;
  if (LooksLikeYes(value)) settingsWarnings_.push_back(Format(kStrSettingMeansOff, {key, value}));
  return 0;
}

void CLoaderApp::AttachMainWindow(CMainFrame& frame) {
  mainWindow_ = &frame;
  if (port_) {
    port_->SetOwner(&frame.PortOwner());
    port_->SetReceiver(&frame.Receive());
  }
  if (link_) link_->SetHost(&frame.LinkHost());
  frame.Receive().SetTrace(trace_);
}

void CLoaderApp::SetFrameTrace(IFrameTrace* trace) {
  trace_ = trace;
  if (port_) port_->SetTrace(trace);
  if (link_) link_->SetTrace(trace);
  if (mainWindow_) mainWindow_->Receive().SetTrace(trace);
}
