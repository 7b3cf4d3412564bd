#pragma once

#include "app/View.h"
#include "connection/ConnectionState.h"
#include "protocol/UpsLink.h"
#include "seams/CommandHost.h"

class CLoaderApp;

// The link's host: the port, the receive state and the clock of the
// application, the spaces Connect found, and the user through the command
// host. Reply waits give up at once on an interrupt or a lost device.
class CLinkHost final : public ILinkHost {
 public:
  CLinkHost(CLoaderApp& app, CReceiveState& rx, const CConnectionState& conn, IView& view, ICommandHost& host)
      : app_(app), rx_(rx), conn_(conn), view_(view), host_(host) {}

  IByteSink& Sink() override;
  CReceiveState& Receive() override { return rx_; }
  IClock& Clock() override;
  bool WaitReply(int mode, int polls) override;
  const FlashSpace& Space(int index) const override;
  int RouteLength() const override { return conn_.routeLength; }
  void MessageBox(const std::string& text) override { host_.MessageBox(text); }
  void ReplaceLastLine(const std::string& text) override { host_.ReplaceLastLine(text); }
  void ScrollToEnd() override { host_.ScrollToEnd(); }
  void SetWaitCursor(bool on) override { host_.SetWaitCursor(on); }
  void TransferProgress(bool verifying, std::uint32_t done, std::uint32_t total) override {
    host_.TransferProgress(verifying, done, total);
  }
  // The pump saw the device vanish.
  bool LineLost();

 private:
  CLoaderApp& app_;
  CReceiveState& rx_;
  const CConnectionState& conn_;
  IView& view_;
  ICommandHost& host_;
};
