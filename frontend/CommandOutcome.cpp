#include "frontend/CommandOutcome.h"

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "frontend/ExitCodes.h"
#include "frontend/RunReport.h"

namespace {

constexpr int kFlashSpacesChecked = 8;  // entries 0 to 7 carry the UPS's own Code and Boot Loader spaces

const char* ReportedStep(int commandId) {
  switch (commandId) {
    case kCmdConnect:
      return "connect";
    case kCmdProgram:
      return "program";
    case kCmdVerify:
      return "verify";
    default:
      return nullptr;
  }
}

bool StepSucceeded(const CMainFrame& frame, int commandId) {
  if (commandId == kCmdConnect) return ConnectSucceeded(frame);
  if (commandId == kCmdProgram) return ProgramSucceeded(frame);
  return frame.LastVerifyPassed();
}

}  // namespace

bool ConnectSucceeded(const CMainFrame& frame) {
  if (frame.Connection().connected != 1) return false;
  for (int i = 0; i < kFlashSpacesChecked; ++i) {
    if (frame.Space(i).spaceReadWrite) return true;
  }
  return false;
}

bool ProgramSucceeded(const CMainFrame& frame) {
  const bool verifyOn = frame.App().options.verifyAfterFlash != 0;
  return frame.Rom().programmed != 0 && (!verifyOn || frame.LastVerifyPassed());
}

std::optional<int> RunReportedCommand(CMainFrame& frame, int commandId, CRunReport& report) {
  const char* step = ReportedStep(commandId);
  if (step == nullptr) {
    frame.RunCommand(commandId);
    return std::nullopt;
  }
  report.Restart(step);
  report.BeginStep(frame, step);
  frame.RunCommand(commandId);
  const bool ok = StepSucceeded(frame, commandId);
  report.EndStep(frame, ok ? "ok" : "failed");
  return ok ? kExitSuccess : kExitUpsFailed;
}
