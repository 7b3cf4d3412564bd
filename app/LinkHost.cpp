#include "app/LinkHost.h"

#include "app/LoaderApp.h"
#include "protocol/ReplyWait.h"

IByteSink& CLinkHost::Sink() {
  static CNullSink none;
  CSerialPort* port = app_.Port();
  return port ? static_cast<IByteSink&>(*port) : none;
}

IClock& CLinkHost::Clock() {
  return app_.Clock();
}

bool CLinkHost::WaitReply(int mode, int polls) {
  // A vanished device will never answer: give up at once rather than run
  // every time-out and retry of the command to its end.
  return PollWhileMode(
      rx_, Clock(), [this] { view_.PumpPendingMessages(); },
      [this] { return view_.InterruptRequested() || LineLost(); }, mode, polls);
}

const FlashSpace& CLinkHost::Space(int index) const {
  static const FlashSpace kNone;
  if (index < 0 || index >= kFlashSpaceEntries) return kNone;
  return conn_.spaces[static_cast<std::size_t>(index)];
}

bool CLinkHost::LineLost() {
  CSerialPort* port = app_.Port();
  return port != nullptr && port->DeviceLost();
}
