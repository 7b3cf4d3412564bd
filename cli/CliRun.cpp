#include "cli/CliRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "app/frontend/ExitCodes.h"
#include "app/frontend/PortErrorText.h"
#include "app/frontend/QSettingsStore.h"
#include "app/frontend/RunOverrides.h"
#include "app/frontend/SerialDeviceList.h"
#include "protocol/FrameTraceWriter.h"
#include "resources/Strings.h"
#include "serial/TermiosDevice.h"

namespace {

using Command = LoaderCommandLine::Command;

constexpr int kFlashSpacesChecked = 8;  // entries 0 to 7 carry the UPS's own Code and Boot Loader spaces

int ListPorts(std::ostream& out) {
  for (const SerialDeviceEntry& entry : ListSerialDevices()) out << DescribeSerialDevice(entry) << '\n';
  return kExitSuccess;
}

// Refuses a file that cannot be a ROM image before any time goes into Connect.
std::string RomFileProblem(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return Format(kStrCliPathReason, {path, std::strerror(errno)});
  if (S_ISDIR(st.st_mode)) return Format(kStrCliRomIsDirectory, {path});
  if (!S_ISREG(st.st_mode)) return Format(kStrCliRomNotRegular, {path});
  if (access(path.c_str(), R_OK) != 0) return Format(kStrCliPathReason, {path, std::strerror(errno)});
  return {};
}

bool ConnectSucceeded(const CMainFrame& frame) {
  const CConnectionState& conn = frame.Connection();
  if (conn.connected != 1) return false;
  for (int i = 0; i < kFlashSpacesChecked; ++i) {
    if (frame.Space(i).spaceReadWrite) return true;
  }
  return false;
}

// Select SubModule or Open, whichever the command line asks for.
int OpenImage(CMainFrame& frame, const CCliView& view, const LoaderCommandLine& command) {
  if (command.submodule) {
    frame.RunCommand(kCmdSelectSubmodule);
    if (!frame.Rom().romFileName.empty()) return kExitSuccess;
    return view.RomFileAsked() ? kExitRomRejected : kExitUpsFailed;
  }
  if (frame.OpenNamedFile(command.file) == 0 || frame.Rom().romFileName.empty()) return kExitRomRejected;
  return kExitSuccess;
}

int ProgramOrVerify(CMainFrame& frame, const LoaderCommandLine& command) {
  if (command.command == Command::Verify) {
    frame.RunCommand(kCmdVerify);
    const bool passed = frame.LastVerifyPassed();
    frame.CloseImage();
    return passed ? kExitSuccess : kExitUpsFailed;
  }
  if (!frame.IsCommandEnabled(kCmdProgram)) {
    frame.CloseImage();
    return kExitRomRejected;  // no ROM data behind the header
  }
  frame.RunCommand(kCmdProgram);
  const bool verifyOn = frame.App().options.verifyAfterFlash != 0;
  const bool ok = frame.Rom().programmed != 0 && (!verifyOn || frame.LastVerifyPassed());
  return ok ? kExitSuccess : kExitUpsFailed;
}

int RunSteps(CMainFrame& frame, const CCliView& view, const LoaderCommandLine& command) {
  frame.RunCommand(kCmdConnect);
  if (!ConnectSucceeded(frame)) return kExitUpsFailed;
  if (command.command == Command::Connect) return kExitSuccess;
  if (int code = OpenImage(frame, view, command); code != kExitSuccess) return code;
  return ProgramOrVerify(frame, command);
}

void ReportPortError(std::ostream& err, CSerialPort& port) {
  const std::string path = port.DevicePath();
  err << Format(kStrCliMessage, {DescribePortError(path, port.LastError(), GatherPortAccessFacts(path))})
      << '\n';
}

// Says so when the device vanished during the run, so that a pulled cable
// is not taken for a silent UPS.
void ReportLostDevice(std::ostream& err, CSerialPort& port) {
  if (!port.DeviceLost()) return;
  err << Format(kStrCliMessage,
                {Format(kStrCliDeviceLost, {port.DevicePath(), std::strerror(port.LastError())})})
      << '\n';
}

}  // namespace

int RunCliCommand(const LoaderCommandLine& command, CCliView::Streams io,
                  const std::atomic<bool>* interrupted) {
  if (command.command == Command::Ports) return ListPorts(io.out);
  if (!command.file.empty()) {
    if (std::string problem = RomFileProblem(command.file); !problem.empty()) {
      io.err << Format(kStrCliMessage, {problem}) << '\n';
      return kExitRomRejected;
    }
  }
  CQSettingsStore store;
  CSystemClock clock;
  CFrameTraceWriter trace(clock);
  if (!command.trace.empty() && !trace.Open(command.trace)) {
    const std::string reason = std::strerror(errno);
    io.err << Format(kStrCliMessage, {Format(kStrCliTraceCannotOpen, {command.trace, reason})}) << '\n';
    return kExitUsage;
  }
  CLoaderApp app(store, clock, std::make_unique<CTermiosDevice>());
  if (trace.IsOpen()) app.SetFrameTrace(&trace);
  app.Start("");
  ApplyRunOverrides(app, command);
  CCliView view(io, command.file, command.submodule.value_or(""));
  view.WatchInterrupt(interrupted);
  CMainFrame frame(app, view);
  app.AttachMainWindow(frame);
  frame.Create();
  if (!app.Port()->IsOpen()) {
    ReportPortError(io.err, *app.Port());
    return kExitPortUnusable;
  }
  frame.FirstPaint(96);
  int code = RunSteps(frame, view, command);
  if (CSerialPort* port = app.Port()) ReportLostDevice(io.err, *port);
  if (interrupted != nullptr && interrupted->load()) {
    // The failure boxes before it would otherwise read as the UPS's doing.
    io.err << Format(kStrCliMessage, {Text(kStrCliInterrupted)}) << '\n';
    code = kExitInterrupted;
  }
  frame.OnCloseRequest();
  view.Finish(frame.Transcript());
  return code;
}
