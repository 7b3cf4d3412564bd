#pragma once

#include "connection/ConnectCommand.h"
#include "connection/SubmoduleRoute.h"
#include "rom/ImageCommands.h"

// Select SubModule: the route's request and reply, then the module's own
// identification, its image and its spaces; `operation` is the main
// window's flag that a command runs.
class CSubmoduleCommand {
 public:
  CSubmoduleCommand(CConnectCommand& connect, CImageCommands& image, CUpsLink& link, ILinkHost& linkHost,
                    ICommandHost& host, CConnectionState& conn, int& operation)
      : connect_(connect),
        image_(image),
        link_(link),
        linkHost_(linkHost),
        host_(host),
        conn_(conn),
        operation_(operation) {}

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
  int& operation_;
};
