#pragma once

#include <ostream>
#include <string>

#include "cli/CliView.h"
#include "frontend/LoaderOptions.h"

// The inspect command: the image's facts on stdout, what Open would reject
// or warn about on stderr. Exit 0, or 4 for an image Open would reject.
int RunInspect(const LoaderCommandLine& command, CCliView::Streams io);

// True, after saying why on err, for a file that Open would reject on its
// own (unreadable, empty, too short, or a header it refuses), judged with
// the model table at models: such a run needs no UPS to fail.
bool RefuseImage(const std::string& path, const std::string& models, std::ostream& err);
