#pragma once

#include "app/View.h"
#include "connection/ConnectionState.h"
#include "protocol/UpsLink.h"

class CLoaderApp;

// The link's host: the port, the receive state and the clock of the
// application and the spaces Connect found. Reply waits pump the view and
// give up at once on an interrupt or a lost device.
class CLinkHost final : public ILinkHost {
 public:
  CLinkHost(CLoaderApp& app, CReceiveState& rx, const CConnectionState& conn, IView& view)
      : app_(app), rx_(rx), conn_(conn), view_(view) {}

  IByteSink& Sink() override;
  CReceiveState& Receive() override { return rx_; }
  IClock& Clock() override;
  bool WaitReply(int mode, int polls) override;
  const FlashSpace& Space(int index) const override;
  int RouteLength() const override { return conn_.routeLength; }
  // The pump saw the device vanish.
  bool LineLost();

 private:
  CLoaderApp& app_;
  CReceiveState& rx_;
  const CConnectionState& conn_;
  IView& view_;
};
