#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class CSerialPort;

// Why a run is failing when the UPS is not to blame: the serial device went
// away, or the user interrupted. Each front end says it as soon as it is
// known, before the boxes that follow from it, so that those do not read as
// the UPS's doing.
class CRunCause {
 public:
  using PortSource = std::function<CSerialPort*()>;
  CRunCause(PortSource port, const std::atomic<bool>* interrupted);

  // The causes that came up since the last call, each once; a device that is
  // opened again may be lost again and is then said again.
  std::vector<std::string> TakeNew();

 private:
  PortSource port_;
  const std::atomic<bool>* interrupted_;
  bool lostSaid_ = false;
  bool interruptSaid_ = false;
};
