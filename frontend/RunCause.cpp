#include "frontend/RunCause.h"

#include "frontend/PlatformPort.h"
#include "resources/Strings.h"
#include "serial/SerialPort.h"

CRunCause::CRunCause(PortSource port, const std::atomic<bool>* interrupted)
    : port_(std::move(port)), interrupted_(interrupted) {}

std::vector<std::string> CRunCause::TakeNew() {
  std::vector<std::string> causes;
  const CSerialPort* port = port_ ? port_() : nullptr;
  const bool lost = port != nullptr && port->DeviceLost();
  if (lost && !lostSaid_)
    causes.push_back(Format(kStrCliDeviceLost, {port->DevicePath(), SystemErrorText(port->LastError())}));
  lostSaid_ = lost;
  if (interrupted_ != nullptr && interrupted_->load() && !interruptSaid_) {
    causes.push_back(Text(kStrCliInterrupted));
    interruptSaid_ = true;
  }
  return causes;
}
