#pragma once

#include <string>

class CMainFrame;

// The line a dry run ends with, for the image open in the frame: how many
// blocks of what size would go into which space of which CPU, and about how
// long the request frames alone would take at the agreed line speed.
std::string DryRunSummary(CMainFrame& frame);
