#pragma once

#include <optional>

class CMainFrame;
class CRunReport;

// Whether a command the frame ran did what it was asked, as both front ends
// report it: the frame itself only shows its outcome to the user.
bool ConnectSucceeded(const CMainFrame& frame);
// Programmed, and verified when verify is on.
bool ProgramSucceeded(const CMainFrame& frame);

// Runs one of the frame's commands as the windows do. Connect, Program UPS
// and Verify Program each start the report anew, as one tobrane-cli run
// would (the UPS and the image before them stay in it), and give the exit
// status tobrane-cli would give; other commands leave the report alone.
std::optional<int> RunReportedCommand(CMainFrame& frame, int commandId, CRunReport& report);
