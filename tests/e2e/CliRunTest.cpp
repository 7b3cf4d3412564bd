#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A private directory with its own settings, so runs never share state.
class CliRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tobrane-e2e-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "config");
  }
  void TearDown() override { fs::remove_all(dir_); }

  pid_t Spawn(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
      if (chdir(dir_.c_str()) != 0) _exit(127);
      freopen((dir_ / "out.txt").c_str(), "w", stdout);
      freopen((dir_ / "err.txt").c_str(), "w", stderr);
      std::vector<char*> argv{const_cast<char*>(TOBRANE_CLI)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(TOBRANE_CLI, argv.data());
      _exit(127);
    }
    return pid;
  }

  RunResult Wait(pid_t pid) {
    RunResult r;
    int raw = 0;
    waitpid(pid, &raw, 0);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    r.out = Slurp(dir_ / "out.txt");
    r.err = Slurp(dir_ / "err.txt");
    return r;
  }

  RunResult Run(const std::vector<std::string>& args) { return Wait(Spawn(args)); }

  fs::path dir_;
};

TEST_F(CliRun, UsageErrorsExitTwoWithAHint) {
  // A bad command line is refused at once, before any port is touched.
  RunResult r = Run({"--bogus", "connect"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "tobrane: Unknown option 'bogus'.\nTry 'tobrane-cli --help'.\n");
  EXPECT_EQ(Run({"program"}).status, 2);
  EXPECT_EQ(Run({"--submodule", "01 0", "program", "x.rom"}).status, 2);
}

TEST_F(CliRun, NonexistentDeviceExitsThreeNamingIt) {
  // The port box, then the device and the OS reason; nothing is stored in the settings.
  RunResult r = Run({"--device", "/dev/tobrane-none", "connect"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(
      r.err,
      "tobrane: Port Open FAILED\n"
      "tobrane: Cannot open serial device /dev/tobrane-none: No such file or directory\n"
      "The device is not there: check the cable or adapter, and list the ports with 'tobrane-cli ports'.\n");
  EXPECT_EQ(Slurp(dir_ / "config" / "Ostrand Electronics" / "Tobrane PROM Loader.ini").find("Device"),
            std::string::npos);
}

TEST_F(CliRun, PathThatIsNotATtyExitsThree) {
  // /dev/null opens but is no serial line.
  RunResult r = Run({"--device", "/dev/null", "connect"});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("This path is not a serial device."), std::string::npos);
}

TEST_F(CliRun, DirectoryOrMissingRomFileExitsFourBeforeConnecting) {
  // A FILE that cannot be an image is refused without spending time on Connect.
  fs::create_directories(dir_ / "images");
  RunResult r = Run({"--device", "/dev/tobrane-none", "program", "images"});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, "tobrane: images: is a directory, not a ROM file\n");
  EXPECT_EQ(Run({"verify", "missing.rom"}).err, "tobrane: missing.rom: No such file or directory\n");
}

TEST_F(CliRun, SigintDuringConnectEndsWithStatus130AndNoProcessLeft) {
  // Nothing on the far end of a pty; SIGINT makes the waits give up and the run ends on its own.
  int master = -1, slave = -1;
  char name[128];
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  close(slave);
  const pid_t pid = Spawn({"--device", name, "connect"});
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  int raw = 0;
  if (waitpid(pid, &raw, WNOHANG) == pid) {
    close(master);
    GTEST_SKIP() << "Connect ended before the interrupt could reach it";
  }
  const auto start = std::chrono::steady_clock::now();
  kill(pid, SIGINT);
  RunResult r = Wait(pid);
  const auto took = std::chrono::steady_clock::now() - start;
  close(master);
  EXPECT_EQ(r.status, 130);
  EXPECT_LT(took, std::chrono::seconds(15));
  EXPECT_EQ(kill(pid, 0), -1);
}

}  // namespace
