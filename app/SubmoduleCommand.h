#pragma once

#include "connection/ConnectCommand.h"
#include "connection/SubmoduleRoute.h"
#include "rom/ImageCommands.h"

// Select SubModule: the route's request and reply, then the module's own
// identification, its image and its spaces. The image's operation flag is
// set while it runs.
class CSubmoduleCommand {
 public:
  CSubmoduleCommand(CConnectCommand& connect, CImageCommands& image, CUpsLink& link, ILinkHost& linkHost,
                    ICommandHost& host, CConnectionState& conn, CRomImageState& rom)
      : connect_(connect),
        image_(image),
        link_(link),
        linkHost_(linkHost),
        host_(host),
        conn_(conn),
        rom_(rom) {}

  void OnSelectSubmodule();

 private:
  // The request and its reply; false ends the command.
  bool SendSubmoduleRequest(const SubmoduleRoute& route);
  bool SubmoduleFollowUp();

  CConnectCommand& connect_;
  CImageCommands& image_;
  CUpsLink& link_;
  ILinkHost& linkHost_;
  ICommandHost& host_;
  CConnectionState& conn_;
  CRomImageState& rom_;
};
