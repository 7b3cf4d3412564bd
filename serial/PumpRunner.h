#pragma once

#include <memory>

#include "serial/SerialDevice.h"

// One turn of the receive pump, as its runner sees it.
class IPumpStep {
 public:
  virtual ~IPumpStep() = default;
  // Handles one device event. False once the pump reads no more (it was told
  // to stop, or the device is gone): the runner then calls it no more.
  virtual bool Step(DeviceEvent event) = 0;
};

// Drives the receive pump over one device: in the program a thread that
// blocks in the device's WaitEvent and steps; the simulated line steps
// inline as its events fall due in simulated time.
class IPumpRunner {
 public:
  virtual ~IPumpRunner() = default;
  // False when the runner could not start: the port then receives nothing.
  virtual bool Start(IPumpStep& step) = 0;
  // Ends the wait in progress, so the pump's next step sees its stop.
  virtual void Wake() = 0;
  // Waits until the last step has returned false, and forgets it.
  virtual void Join() = 0;
};
