#pragma once

#include "app/LoaderApp.h"
#include "app/View.h"

// Configuration: the dialog, then the port reopened on a new number and the
// changed switches stored.
void OnConfiguration(CLoaderApp& app, IView& view);
