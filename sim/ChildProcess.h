#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// One real process of an end-to-end test or benchmark. It runs in the given directory,
// stdout and stderr go to files there (or stderr to a terminal the test
// holds), and the destructor kills and reaps it, so no test leaves a
// process behind whatever it asserts.
class CChildProcess {
 public:
  struct Launch {
    std::string program;
    std::vector<std::string> args;
    std::filesystem::path dir;
    std::string name;  // stdout goes to NAME.out, stderr to NAME.err in dir
    std::vector<std::pair<std::string, std::string>> env;
    int stderrFd = -1;  // >= 0: stderr goes here instead of NAME.err
  };

  CChildProcess() = default;
  CChildProcess(const CChildProcess&) = delete;
  CChildProcess& operator=(const CChildProcess&) = delete;
  ~CChildProcess();

  bool Start(const Launch& launch);
  // The exit status (128 + signal for a killed process), or nothing when
  // the process is still running after limit; it is then killed and reaped.
  std::optional<int> Wait(std::chrono::milliseconds limit);
  // Reaps the process once it has ended; its status is then kept for Wait.
  bool Running();
  void Signal(int signal) const;
  pid_t Pid() const { return pid_; }
  // The first pid it ran as; kept after it is reaped.
  pid_t StartedPid() const { return startedPid_; }
  // User plus system CPU time and the time from start to reaping, once reaped.
  std::chrono::microseconds CpuTime() const { return cpu_; }
  std::chrono::milliseconds RunTime() const { return runTime_; }

  std::string Out() const;
  std::string Err() const;

 private:
  void KillAndReap();
  void Reaped(int raw, const struct rusage& usage);

  pid_t pid_ = -1;
  pid_t startedPid_ = -1;
  std::chrono::steady_clock::time_point started_;
  std::chrono::microseconds cpu_{0};
  std::chrono::milliseconds runTime_{0};
  std::optional<int> status_;
  std::filesystem::path outPath_;
  std::filesystem::path errPath_;
};

std::string SlurpFile(const std::filesystem::path& path);
