#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/LoaderApp.h"
#include "frontend/LoaderOptions.h"

// The start every front end shares: the platform's serial device, the
// stored settings with their defaults written back, then this run's
// overrides from the command line, which are never stored. The settings'
// warnings (SettingsWarnings) are the caller's to show, before the port opens.
std::unique_ptr<CLoaderApp> StartLoader(ISettingsStore& store, IClock& clock,
                                        const LoaderCommandLine& options);

// What a window says in one box before it opens the port: the settings'
// warnings, then what is wrong with the model table (Connect and Open
// would otherwise only say "Type Mismatch", never why).
std::vector<std::string> StartupWarnings(const CLoaderApp& app, const LoaderCommandLine& options);
