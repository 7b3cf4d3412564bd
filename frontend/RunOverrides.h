#pragma once

#include "frontend/LoaderOptions.h"

class CLoaderApp;

// Puts what the command line asks for over the loaded settings, for this run
// only: nothing is written to the settings store.
void ApplyRunOverrides(CLoaderApp& app, const LoaderCommandLine& command);
