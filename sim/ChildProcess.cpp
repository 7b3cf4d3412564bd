#include "sim/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

constexpr auto kWaitStep = std::chrono::milliseconds(10);

int StatusOf(int raw) {
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

// The parent's environment with the launch's variables set over it, built
// before fork so that the child only calls what is safe there.
std::vector<std::string> Environment(const CChildProcess::Launch& launch) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const auto& [name, value] : launch.env) replaced = replaced || entry.rfind(name + "=", 0) == 0;
    if (!replaced) env.push_back(entry);
  }
  for (const auto& [name, value] : launch.env) env.push_back(name + "=" + value);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

std::string SlurpFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

CChildProcess::~CChildProcess() {
  KillAndReap();
}

bool CChildProcess::Start(const Launch& launch) {
  outPath_ = launch.dir / (launch.name + ".out");
  errPath_ = launch.dir / (launch.name + ".err");
  std::vector<std::string> args{launch.program};
  args.insert(args.end(), launch.args.begin(), launch.args.end());
  std::vector<std::string> env = Environment(launch);
  std::vector<char*> argv = Pointers(args);
  std::vector<char*> envp = Pointers(env);
  const std::string dir = launch.dir.string();
  const std::string out = outPath_.string();
  const std::string err = errPath_.string();
  status_.reset();
  started_ = std::chrono::steady_clock::now();
  pid_ = fork();
  startedPid_ = pid_;
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd =
        launch.stderrFd >= 0 ? launch.stderrFd : open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (chdir(dir.c_str()) != 0 || outFd < 0 || errFd < 0 || dup2(outFd, STDOUT_FILENO) < 0 ||
        dup2(errFd, STDERR_FILENO) < 0)
      _exit(127);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  return true;
}

std::optional<int> CChildProcess::Wait(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (Running()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      KillAndReap();
      return std::nullopt;
    }
    std::this_thread::sleep_for(kWaitStep);
  }
  return status_;
}

bool CChildProcess::Running() {
  if (pid_ < 0) return false;
  int raw = 0;
  struct rusage usage {};
  if (wait4(pid_, &raw, WNOHANG, &usage) != pid_) return true;
  Reaped(raw, usage);
  return false;
}

void CChildProcess::Reaped(int raw, const struct rusage& usage) {
  using std::chrono::microseconds;
  using std::chrono::seconds;
  pid_ = -1;
  status_ = StatusOf(raw);
  cpu_ = seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
  runTime_ =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
}

void CChildProcess::Signal(int signal) const {
  if (pid_ > 0) kill(pid_, signal);
}

std::string CChildProcess::Out() const {
  return SlurpFile(outPath_);
}

std::string CChildProcess::Err() const {
  return SlurpFile(errPath_);
}

void CChildProcess::KillAndReap() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  int raw = 0;
  struct rusage usage {};
  wait4(pid_, &raw, 0, &usage);
  Reaped(raw, usage);
}
