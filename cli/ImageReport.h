#pragma once

#include "cli/CliView.h"
#include "frontend/LoaderOptions.h"

// The inspect command: the image's facts on stdout, what Open would reject
// or warn about on stderr. Exit 0, or 4 for an image Open would reject.
int RunInspect(const LoaderCommandLine& command, CCliView::Streams io);
