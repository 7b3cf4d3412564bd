#pragma once

#include "connection/ConnectCommand.h"
#include "connection/SubmoduleRoute.h"
#include "rom/ImageCommands.h"

// Select SubModule: the route's request and reply, then the module's own
// identification, its image and its spaces. The image's operation flag is
// set while it runs.
class CSubmoduleCommand : private CommandContext {
 public:
  CSubmoduleCommand(const CommandContext& context, CConnectCommand& connect, CImageCommands& image,
                    CRomImageState& rom)
      : CommandContext(context), connect_(connect), image_(image), rom_(rom) {}

  void OnSelectSubmodule();

 private:
  // The request and its reply; false ends the command.
  bool SendSubmoduleRequest(const SubmoduleRoute& route);
  bool SubmoduleFollowUp();

  CConnectCommand& connect_;
  CImageCommands& image_;
  CRomImageState& rom_;
};
