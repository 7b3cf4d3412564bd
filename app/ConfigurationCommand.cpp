#include "app/ConfigurationCommand.h"

#include <string>

#include "resources/Strings.h"

namespace {

constexpr std::uint32_t kConfiguredBaud = 19200;
constexpr int kConfiguredDataBits = 8;
constexpr int kConfiguredStopBits = 1;
constexpr int kParityNone = 0;

const char* YesNo(bool on) {
  return on ? "Y" : "N";
}

// A new port always comes with the fixed line settings, stored whether the
// open worked or not so the next start tries the new port again.
void ReopenOnNewPort(CLoaderApp& app, CSerialPort& port, IView& view, int portNumber) {
  port.settings = {.baud = std::to_string(kConfiguredBaud),
                   .parity = "N",
                   .dataBits = std::to_string(kConfiguredDataBits),
                   .stopBits = std::to_string(kConfiguredStopBits),
                   .port = std::to_string(portNumber)};
  port.Close();
  const bool opened =
      port.Open(portNumber, kConfiguredBaud, kConfiguredDataBits, kConfiguredStopBits, kParityNone);
  view.MessageBox(Format(opened ? kStrPortNumberOpened : kStrPortNumberOpenFailed, {portNumber}));
  ISettingsStore& store = app.Store();
  store.Write("Serial", "Port", std::to_string(portNumber));
  store.Write("Serial", "BaudRate", std::to_string(kConfiguredBaud));
  store.Write("Serial", "DataBits", std::to_string(kConfiguredDataBits));
  store.Write("Serial", "StopBits", std::to_string(kConfiguredStopBits));
  store.Write("Serial", "Parity", "N");
  store.Write("Serial", "Flow", "None");
}

}  // namespace

void OnConfiguration(CLoaderApp& app, IView& view) {
  CSerialPort* port = app.Port();
  const int currentChoice = port ? port->GetPortNumber() - 1 : -1;
  ConfigChoice initial;
  initial.portChoice = currentChoice;
  initial.verify = app.options.verifyAfterFlash != 0;
  initial.allowCpu0 = app.options.allowCpu0 != 0;
  const std::optional<ConfigChoice> chosen = view.AskConfiguration(initial);
  if (!chosen) return;
  if (port && chosen->portChoice != currentChoice) ReopenOnNewPort(app, *port, view, chosen->portChoice + 1);
  if (chosen->allowCpu0 != initial.allowCpu0) {
    app.options.allowCpu0 = chosen->allowCpu0 ? 1 : 0;
    app.Store().Write("Config", "Cpu0", YesNo(chosen->allowCpu0));
  }
  if (chosen->verify != initial.verify) {
    app.options.verifyAfterFlash = chosen->verify ? 1 : 0;
    app.Store().Write("Config", "Verify", YesNo(chosen->verify));
  }
}
