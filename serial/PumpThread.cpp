#include "serial/PumpThread.h"

#include <system_error>

CPumpThread::~CPumpThread() {
  // A pump that missed its stop is still stepping: end its wait and wait for
  // it rather than leave it running on a device that is going.
  if (thread_.joinable()) {
    device_.Wake();
    thread_.join();
  }
}

bool CPumpThread::Start(IPumpStep& step) {
  try {
    thread_ = std::thread([this, &step] {
      while (step.Step(device_.WaitEvent())) {
      }
    });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}
