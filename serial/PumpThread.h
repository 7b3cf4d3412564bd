#pragma once

#include <thread>

#include "serial/PumpRunner.h"

// The program's runner: one thread that waits for each device event and
// steps the pump with it, until a step says it reads no more.
class CPumpThread final : public IPumpRunner {
 public:
  explicit CPumpThread(ISerialDevice& device) : device_(device) {}
  ~CPumpThread() override;
  CPumpThread(const CPumpThread&) = delete;
  CPumpThread& operator=(const CPumpThread&) = delete;

  bool Start(IPumpStep& step) override;
  void Wake() override { device_.Wake(); }
  void Join() override { thread_.join(); }

 private:
  ISerialDevice& device_;
  std::thread thread_;
};
