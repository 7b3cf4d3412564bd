#pragma once

#include <memory>

#include "app/LoaderApp.h"
#include "frontend/LoaderOptions.h"

// The start every front end shares: the platform's serial device, the
// stored settings with their defaults written back, then this run's
// overrides from the command line, which are never stored. The settings'
// warnings (SettingsWarnings) are the caller's to show, before the port opens.
std::unique_ptr<CLoaderApp> StartLoader(ISettingsStore& store, IClock& clock,
                                        const LoaderCommandLine& options);
