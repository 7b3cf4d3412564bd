#pragma once

// The one failure the port tells the user of itself, and the pump of pending
// messages while Close waits for the receive pump.
class IPortOwner {
 public:
  virtual ~IPortOwner() = default;
  // The receive pump did not acknowledge its stop in time.
  virtual void PumpStopFailed() = 0;
  virtual void PumpPendingMessages() = 0;
};
