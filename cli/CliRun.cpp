#include "cli/CliRun.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "app/RefusedSetting.h"
#include "cli/ImageReport.h"
#include "frontend/CommandOutcome.h"
#include "frontend/DryRun.h"
#include "frontend/ExitCodes.h"
#include "frontend/LoaderStartup.h"
#include "frontend/ModelTable.h"
#include "frontend/PlatformPort.h"
#include "frontend/RunCause.h"
#include "frontend/RunReport.h"
#include "ini/ModelLookup.h"
#include "protocol/FrameTraceWriter.h"
#include "resources/Strings.h"
#include "seams/Utf8Path.h"

namespace {

using Command = LoaderCommandLine::Command;

int ListPorts(std::ostream& out) {
  for (const std::string& line : PortListLines()) out << line << '\n';
  out << Text(kStrPortListNetwork) << '\n';
  return kExitSuccess;
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

// Program UPS's own checks and nothing after them; the image is closed again.
int DryRun(CMainFrame& frame) {
  const bool canStart = frame.ProgramCanStart();
  if (canStart) frame.AppendText(DryRunSummary(frame));
  frame.CloseImage();
  return canStart ? kExitSuccess : kExitRomRejected;
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
  if (command.dryRun) return DryRun(frame);
  frame.RunCommand(kCmdProgram);
  return ProgramSucceeded(frame) ? kExitSuccess : kExitUpsFailed;
}

const char* Outcome(bool ok, CCliView& view) {
  if (view.InterruptRequested()) return "interrupted";
  return ok ? "ok" : "failed";
}

const char* StepName(const LoaderCommandLine& command) {
  if (command.command == Command::Verify) return "verify";
  return command.dryRun ? "dry-run" : "program";
}

int RunSteps(CMainFrame& frame, CCliView& view, const LoaderCommandLine& command, CRunReport& report) {
  report.BeginStep(frame, "connect");
  frame.RunCommand(kCmdConnect);
  const bool connected = ConnectSucceeded(frame);
  report.EndStep(frame, Outcome(connected, view));
  if (!connected) return kExitUpsFailed;
  if (command.command == Command::Connect) return kExitSuccess;
  report.BeginStep(frame, command.submodule ? "select-submodule" : "open");
  int code = OpenImage(frame, view, command);
  report.EndStep(frame, Outcome(code == kExitSuccess, view));
  if (code != kExitSuccess) return code;
  report.BeginStep(frame, StepName(command));
  code = ProgramOrVerify(frame, command);
  report.EndStep(frame, Outcome(code == kExitSuccess, view));
  return code;
}

const char* CommandName(const LoaderCommandLine& command) {
  if (command.command == Command::Connect) return "connect";
  return command.command == Command::Verify ? "verify" : "program";
}

// The report file is opened before anything goes to the UPS, so that an
// unwritable one is a usage error rather than a run without its record.
bool OpenReport(const LoaderCommandLine& command, std::ofstream& file, std::ostream& err) {
  if (command.report.empty()) return true;
  file.open(Utf8Path(command.report), std::ios::trunc);
  if (file) return true;
  const std::string reason = std::strerror(errno);
  err << Format(kStrCliMessage, {Format(kStrCliReportCannotOpen, {command.report, reason})}) << '\n';
  return false;
}

void WriteReport(std::ofstream& file, const CRunReport& report, int code) {
  if (file.is_open()) WriteRunReport(file, report.Document("tobrane-cli " TOBRANE_VERSION, code));
}

void ReportPortError(std::ostream& err, CSerialPort& port) {
  const std::string path = port.DevicePath();
  if (port.RefusedSetting() != LineSetting::None) {
    const std::string refused = RefusedSettingText(port);
    err << Format(kStrCliMessage,
                  {Format(kStrCliPortRefused, {path, refused, SystemErrorText(port.LastError())})})
        << '\n';
    return;
  }
  err << Format(kStrCliMessage, {ExplainPortError(path, port.LastError(), port.LastErrorDetail())}) << '\n';
}

// Chooses the model table for the run and says on stderr what is wrong with
// it. False when the table --models names cannot be read: the run would
// refuse every image for it.
bool ChooseModels(LoaderCommandLine& command, std::ostream& err) {
  const ModelTableChoice choice = ChooseModelTable(command.models);
  if (!choice.problem.empty()) err << Format(kStrCliMessage, {choice.problem}) << '\n';
  const bool given = command.models.has_value();
  command.models = choice.path;
  return !given || choice.readable;
}

}  // namespace

std::optional<int> AnswerWithoutRun(const LoaderParseResult& parsed, std::ostream& out, std::ostream& err) {
  if (parsed.options.help) {
    out << LoaderHelpText();
    return kExitSuccess;
  }
  if (parsed.options.version) {
    out << Format(kStrCliVersion, {TOBRANE_VERSION}) << '\n';
    return kExitSuccess;
  }
  if (!parsed.error.empty()) {
    err << Format(kStrCliMessage, {parsed.error}) << '\n' << Text(kStrCliTryHelp) << '\n';
    return kExitUsage;
  }
  return std::nullopt;
}

int RunCliCommand(const LoaderCommandLine& given, ISettingsStore& store, CCliView::Streams io,
                  const std::atomic<bool>* interrupted) {
  if (given.command == Command::Ports) return ListPorts(io.out);
  LoaderCommandLine command = given;
  if (!ChooseModels(command, io.err)) return kExitUsage;
  if (command.command == Command::Inspect) return RunInspect(command, io);
  // Judged with the model table that Open reads.
  if (!command.file.empty() && RefuseImage(command.file, *command.models, io.err)) return kExitRomRejected;
  CSystemClock clock;
  CFrameTraceWriter trace(clock);
  if (!command.trace.empty() && !trace.Open(command.trace)) {
    const std::string reason = std::strerror(errno);
    io.err << Format(kStrCliMessage, {Format(kStrCliTraceCannotOpen, {command.trace, reason})}) << '\n';
    return kExitUsage;
  }
  std::ofstream reportFile;
  if (!OpenReport(command, reportFile, io.err)) return kExitUsage;
  CRunReport report;
  report.Restart(CommandName(command));
  report.SetRoute(command.submodule.value_or(""));
  report.SetModelTable(*command.models);
  const std::unique_ptr<CLoaderApp> started = StartLoader(store, clock, command);
  CLoaderApp& app = *started;
  if (trace.IsOpen()) app.SetFrameTrace(&trace);
  // Before the port opens: a port error may be their doing.
  for (const std::string& warning : app.SettingsWarnings())
    io.err << Format(kStrCliMessage, {warning}) << '\n';
  CCliView view(io, command.file, command.submodule.value_or(""));
  view.WatchInterrupt(interrupted);
  CRunCause causes([&app] { return app.Port(); }, interrupted);
  view.WatchCauses(&causes);
  view.FeedReport(&report);
  CMainFrame frame(app, view);
  app.AttachMainWindow(frame);
  frame.Create();
  // A device that opened but refused a setting cannot carry a Connect.
  if (!app.Port()->IsOpen() || app.Port()->RefusedSetting() != LineSetting::None) {
    ReportPortError(io.err, *app.Port());
    WriteReport(reportFile, report, kExitPortUnusable);
    return kExitPortUnusable;
  }
  frame.FirstPaint();
  int code = RunSteps(frame, view, command, report);
  view.SayNewCauses();
  if (interrupted != nullptr && interrupted->load()) code = kExitInterrupted;
  frame.OnCloseRequest();
  view.Finish(frame.Transcript());
  WriteReport(reportFile, report, code);
  return code;
}
