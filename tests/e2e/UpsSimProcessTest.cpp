#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "sim/SimProcess.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

class UpsSimProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tobrane-sim-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
};

// The slave side as any serial program would set it up: raw 19200 8N1.
int OpenRawLine(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return -1;
  termios tio{};
  tcgetattr(fd, &tio);
  cfmakeraw(&tio);
  cfsetispeed(&tio, B19200);
  cfsetospeed(&tio, B19200);
  tio.c_cflag |= CLOCAL | CREAD;
  tcsetattr(fd, TCSANOW, &tio);
  return fd;
}

void WriteAll(int fd, const Bytes& bytes) {
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

Bytes ReadFor(int fd, std::size_t wanted, std::chrono::milliseconds limit) {
  Bytes got;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (got.size() < wanted && std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    std::uint8_t buffer[64];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

TEST_F(UpsSimProcess, AnswersATermiosClientAndWritesItsRecordOnSigterm) {
  // The first line is the pty; authorization then start-comm gets AB 09 01 81 31 99; SIGTERM writes the
  // record and exits 0.
  CSimProcess sim;
  ASSERT_TRUE(sim.Start(BundledProfilePath("default"), dir_));
  EXPECT_EQ(sim.Device().rfind("/dev/pts/", 0), 0u) << sim.Device();
  const int fd = OpenRawLine(sim.Device());
  ASSERT_GE(fd, 0);
  WriteAll(fd, {0xAB, 0x04, 0xCF, 0x54, 0x4F, 0x42, 0x9D});
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  WriteAll(fd, {0xAB, 0x01, 0xA0, 0xB4});
  EXPECT_EQ(ReadFor(fd, 6, std::chrono::seconds(3)), (Bytes{0xAB, 0x09, 0x01, 0x81, 0x31, 0x99}));
  close(fd);
  EXPECT_EQ(sim.Stop(), 0);
  const nlohmann::json state = sim.State();
  ASSERT_FALSE(state.is_discarded());
  EXPECT_EQ(StateRequestKinds(state), (std::vector<std::string>{"authorization", "start-comm"}));
  EXPECT_EQ(state["requests"][1]["hex"], "AB 01 A0 B4");
  EXPECT_EQ(state["unauthorized"], 0);
}

TEST_F(UpsSimProcess, RefusesBadProfilesNamingTheFieldAtFault) {
  // Each bad profile ends the simulator with status 1 before any pty is offered, and says what is wrong.
  nlohmann::json missing = BundledProfileJson("default");
  missing.erase("startBaud");
  nlohmann::json wrongType = BundledProfileJson("default");
  wrongType["switchesSpeed"] = "yes";
  nlohmann::json overlapping = BundledProfileJson("default");
  overlapping["unit"]["cpus"][0]["spaces"][1]["start"] = "0x00008100";
  struct Case {
    fs::path profile;
    std::string message;
  };
  std::ofstream(dir_ / "broken.json") << "{\"pnp\": ";
  const std::vector<Case> cases = {
      {WriteProfile(dir_, "missing", missing), "profile field \"startBaud\": missing"},
      {WriteProfile(dir_, "wrong-type", wrongType),
       "profile field \"switchesSpeed\": expected true or false"},
      {WriteProfile(dir_, "overlapping", overlapping),
       "profile field \"unit.cpus[0].spaces[1]\": overlaps unit.cpus[0].spaces[0]"},
      {dir_ / "broken.json", "broken.json: profile is not valid JSON"},
      {dir_ / "absent.json", "cannot read profile " + (dir_ / "absent.json").string()},
  };
  for (const Case& c : cases) {
    CChildProcess sim;
    ASSERT_TRUE(sim.Start({TOBRANE_UPSSIM, {"--profile", c.profile.string()}, dir_, "upssim", {}, -1}));
    EXPECT_EQ(sim.Wait(std::chrono::seconds(10)), 1) << c.profile;
    EXPECT_EQ(sim.Out(), "") << c.profile;
    EXPECT_NE(sim.Err().find(c.message), std::string::npos) << sim.Err();
  }
}

TEST_F(UpsSimProcess, UsageErrorsExitTwo) {
  // No profile, or an option it does not know, gets the usage line and status 2.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"--profile"},
        std::vector<std::string>{"--profile", "x.json", "--speed", "9600"},
        std::vector<std::string>{"--profile", "x.json", "--hangup-after-blocks", "two"}}) {
    CChildProcess sim;
    ASSERT_TRUE(sim.Start({TOBRANE_UPSSIM, args, dir_, "upssim", {}, -1}));
    EXPECT_EQ(sim.Wait(std::chrono::seconds(10)), 2);
    EXPECT_EQ(sim.Err(),
              "usage: tobrane-upssim --profile FILE [--state-out FILE] [--hangup-after-blocks K]\n");
  }
}

}  // namespace
