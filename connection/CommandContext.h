#pragma once

#include <string>

#include "connection/ConnectionState.h"
#include "connection/LoaderOptions.h"
#include "protocol/UpsLink.h"
#include "seams/CommandHost.h"

// What every command works with: the link and its host, the window as a
// command sees it, the connection fields, the options, and the model table
// the type code is looked up in (the front end chooses it). The hub builds
// one and hands it to each command.
struct CommandContext {
  CUpsLink& link;
  ILinkHost& linkHost;
  ICommandHost& host;
  CConnectionState& conn;
  LoaderOptions& options;
  const std::string& modelTable;
};
