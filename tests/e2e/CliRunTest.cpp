#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <thread>

#include "sim/SimProcess.h"
#include "tests/e2e/SchemaCheck.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr auto kRunLimit = std::chrono::seconds(60);
constexpr const char* kInterrupted =
    "tobrane: Interrupted: the run stopped at its next wait, without finishing its steps.";

// A run's report, read back and checked against the schema in docs/.
nlohmann::json ValidReport(const fs::path& path) {
  const nlohmann::json schema = nlohmann::json::parse(SlurpFile(TOBRANE_REPORT_SCHEMA));
  const nlohmann::json report = nlohmann::json::parse(SlurpFile(path), nullptr, false);
  EXPECT_FALSE(report.is_discarded()) << path;
  std::string violations;
  for (const std::string& v : SchemaViolations(schema, report)) violations += v + "\n";
  EXPECT_EQ(violations, "");
  return report;
}

std::vector<std::string> StepOutcomes(const nlohmann::json& report) {
  std::vector<std::string> out;
  for (const nlohmann::json& step : report["steps"])
    out.push_back(step["name"].get<std::string>() + " " + step["outcome"].get<std::string>());
  return out;
}

struct RunResult {
  std::optional<int> status;  // nothing: killed at the time limit
  std::string out;
  std::string err;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A waiting run sleeps in its polls; a spinning one would burn about as much
// CPU as time passes. The allowance covers start-up and the transfer itself.
constexpr auto kCpuAllowance = std::chrono::milliseconds(250);
constexpr double kCpuShareOfRunTime = 0.05;

// The one ending check of every run that is interrupted or loses its line:
// the expected status, little CPU time for the time it ran, and nothing of
// it left running.
void ExpectQuietEnd(CChildProcess& process, std::optional<int> status, int expected) {
  EXPECT_EQ(status, expected) << process.Err();
  EXPECT_FALSE(process.Running());
  const pid_t pid = process.StartedPid();
  EXPECT_TRUE(kill(pid, 0) == -1 && errno == ESRCH) << "pid " << pid << " still exists";
  const auto cpu = std::chrono::duration_cast<std::chrono::milliseconds>(process.CpuTime());
  const auto limit = kCpuAllowance + std::chrono::duration_cast<std::chrono::milliseconds>(
                                         process.RunTime() * kCpuShareOfRunTime);
  EXPECT_LT(cpu, limit) << "CPU " << cpu.count() << " ms in a run of " << process.RunTime().count() << " ms";
}

// A terminal for a run's stderr, read all the time on a thread of its own so
// that the run never blocks on a full terminal.
class CTerminalReader {
 public:
  CTerminalReader() {
    if (openpty(&master_, &terminal_, nullptr, nullptr, nullptr) != 0) return;
    reader_ = std::thread([this] { ReadUntilClosed(); });
  }
  ~CTerminalReader() {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    CloseTerminal();
    if (master_ >= 0) close(master_);
  }
  // The run has its copy; ours must go so that its end closes the terminal.
  int Terminal() const { return terminal_; }
  void CloseTerminal() {
    if (terminal_ >= 0) close(terminal_);
    terminal_ = -1;
  }
  bool WaitFor(const std::string& part, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return Contains(text_, part); });
  }
  std::string Seen() {
    std::lock_guard lock(mutex_);
    return text_;
  }

 private:
  void ReadUntilClosed() {
    while (!stop_) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      char buffer[256];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) return;
      std::lock_guard lock(mutex_);
      text_.append(buffer, static_cast<std::size_t>(n));
      changed_.notify_all();
    }
  }

  int master_ = -1;
  int terminal_ = -1;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string text_;
  std::thread reader_;
};

// A private directory with its own settings and the example model table,
// so runs never share state.
class CliRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tobrane-e2e-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "config");
    fs::copy_file(fs::path(TOBRANE_EXAMPLES) / "OEMModel.ini", dir_ / "OEMModel.ini");
  }
  void TearDown() override { fs::remove_all(dir_); }

  CChildProcess::Launch Cli(const std::vector<std::string>& args, int stderrFd = -1) const {
    return {TOBRANE_CLI, args, dir_, "cli", {{"XDG_CONFIG_HOME", (dir_ / "config").string()}}, stderrFd};
  }

  RunResult Run(const std::vector<std::string>& args) {
    CChildProcess cli;
    EXPECT_TRUE(cli.Start(Cli(args)));
    RunResult r;
    r.status = cli.Wait(kRunLimit);
    r.out = cli.Out();
    r.err = cli.Err();
    return r;
  }

  // A header-valid image; its ROM data follows the 20 header bytes.
  Bytes MakeRom(const std::string& name, const std::vector<std::string>& args) {
    std::vector<std::string> all{(dir_ / name).string()};
    all.insert(all.end(), args.begin(), args.end());
    CChildProcess makerom;
    EXPECT_TRUE(makerom.Start({TOBRANE_MAKEROM, all, dir_, "makerom", {}, -1}));
    EXPECT_EQ(makerom.Wait(std::chrono::seconds(10)), 0);
    const std::string image = SlurpFile(dir_ / name);
    return image.size() < 20 ? Bytes{} : Bytes(image.begin() + 20, image.end());
  }

  void StartSim(const fs::path& profile, const std::vector<std::string>& moreArgs = {}) {
    ASSERT_TRUE(sim_.Start(profile, dir_, moreArgs)) << sim_.Err();
  }

  // Stops the simulator and returns its record.
  nlohmann::json SimState() {
    EXPECT_EQ(sim_.Stop(), 0);
    const nlohmann::json state = sim_.State();
    EXPECT_FALSE(state.is_discarded());
    return state;
  }

  fs::path dir_;
  CSimProcess sim_;
};

TEST_F(CliRun, UsageErrorsExitTwoWithAHint) {
  // A bad command line is refused at once, before any port is touched, and says what is wrong.
  const std::string hint = "\nTry 'tobrane-cli --help'.\n";
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--bogus", "connect"}, "Unknown option 'bogus'."},
      {{"program"}, "program needs a ROM file"},
      {{"connect", "extra"}, "unexpected argument 'extra'"},
      {{"flash", "x.rom"}, "unknown command 'flash'"},
      {{"--submodule", "01 0", "program", "x.rom"},
       "--submodule \"01 0\" is not a route of one to three hex bytes, e.g. \"01 00 01\""},
      {{"--submodule", "01", "connect"}, "--submodule applies to program and verify only"},
  };
  for (const Case& c : cases) {
    const RunResult r = Run(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_EQ(r.err, "tobrane: " + c.message + hint);
    EXPECT_EQ(r.out, "");
  }
  const RunResult trace = Run({"--trace", "no-such-dir/trace.txt", "connect"});
  EXPECT_EQ(trace.status, 2);
  EXPECT_EQ(trace.err,
            "tobrane: cannot write the frame trace to no-such-dir/trace.txt: No such file or directory\n");
  const RunResult report = Run({"--report", "no-such-dir/r.json", "connect"});
  EXPECT_EQ(report.status, 2);
  EXPECT_EQ(report.err,
            "tobrane: cannot write the report to no-such-dir/r.json: No such file or directory\n");
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
  EXPECT_EQ(SlurpFile(dir_ / "config" / "Ostrand Electronics" / "Tobrane PROM Loader.ini").find("Device"),
            std::string::npos);
}

TEST_F(CliRun, PathThatIsNotATtyExitsThree) {
  // /dev/null opens but is no serial line.
  RunResult r = Run({"--device", "/dev/null", "connect"});
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(Contains(r.err,
                       "Cannot open serial device /dev/null: Inappropriate ioctl for device\n"
                       "This path is not a serial device.\n"))
      << r.err;
}

TEST_F(CliRun, PortThatRefusesALineSettingExitsThreeAtOnce) {
  // A stored DataBits of 9 on a line that opens: no 28 s of Connect, but status 3 naming the device and the
  // setting.
  int master = -1, slave = -1;
  char name[128];
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  close(slave);
  fs::create_directories(dir_ / "config" / "Ostrand Electronics");
  std::ofstream(dir_ / "config" / "Ostrand Electronics" / "Tobrane PROM Loader.ini")
      << "[Serial]\nDataBits=9\n";
  const auto started = std::chrono::steady_clock::now();
  const RunResult r = Run({"--device", name, "connect"});
  close(master);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(
      Contains(r.err, std::string("tobrane: Serial device ") + name +
                          " opened but refused DataBits 9 (a serial line takes 5 to 8): Invalid argument."))
      << r.err;
}

TEST_F(CliRun, ModelTableIsFoundInTheUsersFolderAndNamedInTheReport) {
  // Run from a folder without OEMModel.ini: the user's own table serves and the report names it. A --models
  // file that cannot be read is a usage error naming it; no table at all is said before the run.
  const fs::path own = dir_ / "config" / "tobrane-loader" / "OEMModel.ini";
  fs::create_directories(own.parent_path());
  fs::rename(dir_ / "OEMModel.ini", own);
  StartSim(BundledProfilePath("default"));
  const RunResult r = Run({"--device", sim_.Device(), "--report", "run.json", "connect"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "\tUPS Type is: 500 = Tobrane 500\n")) << r.out;
  EXPECT_EQ(ValidReport(dir_ / "run.json")["modelTable"], own.string());
  const RunResult bad = Run({"--models", "nope.ini", "inspect", "x.rom"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "tobrane: the model table nope.ini cannot be read\n");
  fs::remove(own);
  const RunResult none = Run({"--device", "/dev/tobrane-none", "connect"});
  EXPECT_TRUE(Contains(none.err, "tobrane: no model table found; searched: OEMModel.ini, " + own.string()))
      << none.err;
}

TEST_F(CliRun, DirectoryOrMissingRomFileExitsFourBeforeConnecting) {
  // A FILE that cannot be an image is refused without spending time on Connect.
  fs::create_directories(dir_ / "images");
  RunResult r = Run({"--device", "/dev/tobrane-none", "program", "images"});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, "tobrane: images: is a directory, not a ROM file\n");
  EXPECT_EQ(Run({"verify", "missing.rom"}).err, "tobrane: missing.rom: No such file or directory\n");
}

TEST_F(CliRun, ImagesOpenWouldRejectExitFourWithoutTouchingTheLine) {
  // Empty, too short, no magic, an unknown UPS ID: program and verify say why as inspect does, and the
  // UPS on the line sees nothing at all.
  MakeRom("unknown.rom", {"--ups", "42", "--load", "0x8000", "--size", "256"});
  fs::copy_file(dir_ / "unknown.rom", dir_ / "nomagic.rom");
  fs::resize_file(dir_ / "nomagic.rom", 40);
  {
    std::fstream patch(dir_ / "nomagic.rom", std::ios::in | std::ios::out | std::ios::binary);
    patch.put('\0');
  }
  std::ofstream(dir_ / "empty.rom").close();
  std::ofstream(dir_ / "short.rom") << "0123456789";
  StartSim(BundledProfilePath("default"));
  const std::pair<const char*, const char*> cases[] = {
      {"empty.rom", "tobrane: the file is empty: no ROM image\n"},
      {"short.rom", "tobrane: the file is only 10 bytes long"},
      {"nomagic.rom", "tobrane: no ROM image header: the file does not start with AA EE\n"},
      {"unknown.rom", "tobrane: UPS ID 42 is not in OEMModel.ini: Open would report a type mismatch\n"}};
  for (const auto& [file, line] : cases) {
    for (const char* command : {"program", "verify"}) {
      const RunResult r = Run({"--device", sim_.Device(), command, file});
      EXPECT_EQ(r.status, 4) << command << " " << file;
      EXPECT_EQ(r.err.rfind(line, 0), 0u) << r.err;
      EXPECT_EQ(r.out, "");
    }
  }
  const nlohmann::json state = SimState();
  EXPECT_TRUE(StateRequestKinds(state).empty());
  EXPECT_EQ(state["pnpSent"], 0);
  EXPECT_EQ(state["garbledBytes"], 0);
}

TEST_F(CliRun, ConnectsOverPlugAndPlay) {
  // The default UPS sends its Plug-and-Play string: no fixed-speed probing, service mode entered.
  // The frame trace holds the start-comm exchange at the agreed speed.
  StartSim(BundledProfilePath("default"));
  const RunResult r = Run({"--device", sim_.Device(), "--trace", "trace.txt", "connect"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string trace = SlurpFile(dir_ / "trace.txt");
  const std::size_t fast = trace.find("LINE 19200 baud 8 data bits", trace.find("LINE 1200 baud"));
  EXPECT_NE(trace.find("TX AB 01 A0 B4\n", fast), std::string::npos) << trace;
  EXPECT_NE(trace.find("RX AB 09 01 81 31 99\n", fast), std::string::npos) << trace;
  EXPECT_TRUE(Contains(r.out, "Plug-n-Play data:\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "UPS communications established at 19200 baud\n")) << r.out;
  EXPECT_FALSE(Contains(r.out, "Switching to")) << r.out;
  const nlohmann::json state = SimState();
  EXPECT_EQ(state["pnpSent"], 1);
  const std::vector<std::string> kinds = StateRequestKinds(state);
  EXPECT_NE(std::find(kinds.begin(), kinds.end(), "service-mode"), kinds.end());
  EXPECT_NE(std::find(kinds.begin(), kinds.end(), "capabilities"), kinds.end());
}

TEST_F(CliRun, ProgramWithVerifyLeavesTheImageInFlash) {
  // Flash at the load address holds the ROM data, the rest of the space stays erased, the controller is
  // reset.
  const Bytes data =
      MakeRom("ups.rom", {"--ups", "500", "--module", "1", "--load", "0x8000", "--size", "512"});
  ASSERT_EQ(data.size(), 512u);
  StartSim(BundledProfilePath("default"));
  const RunResult r =
      Run({"--device", sim_.Device(), "--verify", "--report", "run.json", "program", "ups.rom"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "\nVerification Completed\n")) << r.out;
  const nlohmann::json state = SimState();
  EXPECT_EQ(StateFlash(state, {}, 1, 0x8000, 512), data);
  EXPECT_EQ(StateFlash(state, {}, 1, 0x8200, 4), Bytes(4, 0xFF));
  ASSERT_EQ(state["resets"].size(), 1u);
  EXPECT_EQ(state["resets"][0]["module"], 1);
  // The report says the same: every step ok, all bytes programmed and verified, the UPS and the image.
  const nlohmann::json report = ValidReport(dir_ / "run.json");
  EXPECT_EQ(StepOutcomes(report),
            (std::vector<std::string>{"connect ok", "open ok", "program ok", "verify ok"}));
  EXPECT_EQ(report["exitStatus"], 0);
  EXPECT_EQ(report["transfer"]["programmedBytes"], 512);
  EXPECT_EQ(report["transfer"]["verifiedBytes"], 512);
  EXPECT_EQ(report["ups"]["typeCode"], 500);
  EXPECT_EQ(report["ups"]["plugAndPlay"]["manufacturer"], "OST");
  EXPECT_EQ(report["image"]["sha256"].get<std::string>().size(), 64u);
  EXPECT_EQ(report["messageBoxes"], nlohmann::json::array());
}

TEST_F(CliRun, VerifyMismatchNamesTheLocation) {
  // One flash byte stored wrong: Program UPS verifies, names the address and both bytes, and exits 1.
  MakeRom("ups.rom", {"--ups", "500", "--load", "0x8000", "--size", "256"});
  nlohmann::json profile = BundledProfileJson("default");
  profile["faults"] = {
      {{"request", "program-block"}, {"occurrence", 1}, {"fault", "flip-flash"}, {"byteIndex", 5}}};
  StartSim(WriteProfile(dir_, "flipped", profile));
  const RunResult r = Run({"--device", sim_.Device(), "--verify", "program", "ups.rom"});
  EXPECT_EQ(r.status, 1);
  // Byte 5 of the image is 5 * 7 = 0x23; the flash holds it with bit 0 flipped.
  EXPECT_TRUE(Contains(r.err, "tobrane: Verify Failed At Location 00008005\nShould be 23, Was 22\n"))
      << r.err;
  EXPECT_TRUE(SimState()["resets"].empty());
}

TEST_F(CliRun, DryRunChecksLikeProgramUpsAndSendsNoFlashRequest) {
  // Connect, Open and Program UPS's checks, then the summary: no start-flash, program or end-flash request
  // reaches the UPS and its flash stays erased. An image that does not fit is refused with Program UPS's box.
  MakeRom("ups.rom", {"--ups", "500", "--load", "0x8000", "--size", "300"});
  MakeRom("big.rom", {"--ups", "500", "--load", "0xFF00", "--size", "512"});
  StartSim(BundledProfilePath("default"));
  const RunResult r =
      Run({"--device", sim_.Device(), "--dry-run", "--report", "run.json", "program", "ups.rom"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(
      Contains(r.out,
               "\nDry run: would program 3 blocks of 128 bytes into flash space 1 of CPU 1 (00008000 to "
               "0000812B), about 0.2 s of request frames at 19200 baud; nothing was erased or written.\n"))
      << r.out;
  EXPECT_EQ(StepOutcomes(ValidReport(dir_ / "run.json")).back(), "dry-run ok");
  const RunResult big = Run({"--device", sim_.Device(), "--dry-run", "program", "big.rom"});
  EXPECT_EQ(big.status, 4);
  EXPECT_TRUE(Contains(big.err,
                       "tobrane: The ROM data do not fit in the flash space: 512 bytes from 0000FF00, "
                       "the space ends at 0000FFFF.\nNothing was sent to the UPS.\n"))
      << big.err;
  const nlohmann::json state = SimState();
  const std::vector<std::string> kinds = StateRequestKinds(state);
  for (const char* kind : {"start-flash", "program-block", "end-flash", "reset"}) {
    EXPECT_EQ(std::find(kinds.begin(), kinds.end(), kind), kinds.end()) << kind;
  }
  EXPECT_EQ(StateFlash(state, {}, 1, 0x8000, 300), Bytes(300, 0xFF));
}

// The default profile with its own serial number, the Plug-and-Play checksum made to match.
nlohmann::json ProfileWithSerial(const std::string& serial) {
  const std::string body = "(AdOST0500\\" + serial + "\\UPS\\\\Tobrane 5000";
  unsigned sum = ')';
  for (char c : body) sum += static_cast<unsigned char>(c);
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", sum & 0xFFu);
  nlohmann::json profile = BundledProfileJson("default");
  profile["pnp"] = body + digits + ")";
  return profile;
}

TEST_F(CliRun, ThreeUnitsProgramInParallelOneProcessEach) {
  // Three simulated units on three ptys, one tobrane-cli each at the same time: three flashes hold the image
  // and three reports name their own unit.
  const Bytes data = MakeRom("ups.rom", {"--ups", "500", "--load", "0x8000", "--size", "1024"});
  const std::vector<std::string> serials = {"00000001", "00000002", "00000003"};
  std::vector<CSimProcess> sims(serials.size());
  std::vector<CChildProcess> runs(serials.size());
  for (std::size_t i = 0; i < serials.size(); ++i) {
    const fs::path unitDir = dir_ / ("unit" + std::to_string(i));
    fs::create_directories(unitDir);
    ASSERT_TRUE(sims[i].Start(WriteProfile(unitDir, "unit", ProfileWithSerial(serials[i])), unitDir))
        << sims[i].Err();
  }
  for (std::size_t i = 0; i < serials.size(); ++i) {
    const std::string report = "report-" + serials[i] + ".json";
    ASSERT_TRUE(runs[i].Start(
        Cli({"--device", sims[i].Device(), "--verify", "--report", report, "program", "ups.rom"})));
  }
  for (std::size_t i = 0; i < serials.size(); ++i) {
    EXPECT_EQ(runs[i].Wait(kRunLimit), 0) << runs[i].Err();
    EXPECT_EQ(sims[i].Stop(), 0);
    EXPECT_EQ(StateFlash(sims[i].State(), {}, 1, 0x8000, 1024), data) << serials[i];
    const nlohmann::json report = ValidReport(dir_ / ("report-" + serials[i] + ".json"));
    EXPECT_EQ(report["ups"]["plugAndPlay"]["serialNumber"], serials[i]);
    EXPECT_EQ(report["ups"]["plugAndPlay"]["checksumCorrect"], true);
    EXPECT_EQ(report["exitStatus"], 0);
    EXPECT_EQ(report["transfer"]["verifiedBytes"], 1024);
  }
}

TEST_F(CliRun, ReadBackWithAnUnknownStatusFailsVerification) {
  // A read-back reply whose status byte means nothing compares nothing: exit 1, the box names the
  // block and the byte, and the UPS is not reset.
  MakeRom("ups.rom", {"--ups", "500", "--load", "0x8000", "--size", "256"});
  nlohmann::json profile = BundledProfileJson("default");
  profile["faults"] = {{{"request", "read-block"}, {"occurrence", 2}, {"fault", "unknown-status"}}};
  StartSim(WriteProfile(dir_, "unknown-status", profile));
  const RunResult r = Run({"--device", sim_.Device(), "--verify", "program", "ups.rom"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(
      r.err, "tobrane: Verify Failed At Location 00008080\nThe UPS answered with an unknown status 3F\n"))
      << r.err;
  EXPECT_TRUE(Contains(r.out, "\nVerification Failed\n")) << r.out;
  EXPECT_TRUE(SimState()["resets"].empty());
}

TEST_F(CliRun, RomForAnotherUpsIsRejected) {
  // An image for type 501 on a type 500 UPS is refused after Connect; nothing is flashed.
  MakeRom("other.rom", {"--ups", "501", "--load", "0x8000", "--size", "256"});
  StartSim(BundledProfilePath("default"));
  const RunResult r = Run({"--device", sim_.Device(), "program", "other.rom"});
  EXPECT_EQ(r.status, 4);
  EXPECT_TRUE(Contains(r.err, "CPU or UPS Type Mismatch")) << r.err;
  const std::vector<std::string> kinds = StateRequestKinds(SimState());
  EXPECT_EQ(std::find(kinds.begin(), kinds.end(), "start-flash"), kinds.end());
}

TEST_F(CliRun, SubmoduleRouteProgramsThePowerModule) {
  // --submodule "01 00 01" selects the power module behind the UPS, and its flash receives the image, not the
  // UPS's own.
  const Bytes data = MakeRom("pm.rom", {"--ups", "501", "--module", "1", "--load", "0x8000", "--size", "256",
                                        "--version", "0x0302"});
  StartSim(BundledProfilePath("default"));
  const RunResult r =
      Run({"--device", sim_.Device(), "--verify", "--submodule", "01 00 01", "program", "pm.rom"});
  EXPECT_EQ(r.status, 0) << r.err;
  const nlohmann::json state = SimState();
  EXPECT_EQ(state["route"], (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(StateFlash(state, {1, 0, 1}, 1, 0x8000, 256), data);
  EXPECT_EQ(StateFlash(state, {}, 1, 0x8000, 4), Bytes(4, 0xFF));
}

TEST_F(CliRun, SubmoduleWithItsOwnMemoryMapIsProgrammedAtItsOwnAddresses) {
  // The module behind 00 02 keeps its Code space where the UPS has none: the image for it opens,
  // is programmed and verified there, and the module is reset.
  const Bytes data = MakeRom("own.rom", {"--ups", "501", "--module", "1", "--load", "0x20000", "--size",
                                         "256", "--version", "0x0302"});
  StartSim(BundledProfilePath("default"));
  const RunResult r =
      Run({"--device", sim_.Device(), "--verify", "--submodule", "00 02", "program", "own.rom"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "\tLoad Address is: 00020000\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "\nVerification Completed\n")) << r.out;
  const nlohmann::json state = SimState();
  EXPECT_EQ(StateFlash(state, {0, 2}, 1, 0x20000, 256), data);
  ASSERT_EQ(state["resets"].size(), 1u);
  EXPECT_EQ(state["resets"][0]["route"], (std::vector<int>{0, 2}));
}

TEST_F(CliRun, NothingConnectedEndsInTheCommunicationBox) {
  // A pty with nobody on the far end: every probe times out and Connect fails with status 1.
  int master = -1, slave = -1;
  char name[128];
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  close(slave);
  const RunResult r = Run({"--device", name, "connect"});
  close(master);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err,
                       "tobrane: Unable to communicate serially with the UPS or Linkbay card.\n"
                       "Please check your connections and Configuration and try again.\n"))
      << r.err;
  EXPECT_TRUE(Contains(r.out, "Switching to 2400 baud\n")) << r.out;
}

TEST_F(CliRun, SigintDuringConnectEndsWithStatus130AndNoProcessLeft) {
  // Nothing on the far end of a pty; SIGINT makes the waits give up and the run ends on its own.
  int master = -1, slave = -1;
  char name[128];
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  close(slave);
  CChildProcess cli;
  ASSERT_TRUE(cli.Start(Cli({"--device", name, "connect"})));
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ASSERT_TRUE(cli.Running());
  cli.Signal(SIGINT);
  ExpectQuietEnd(cli, cli.Wait(std::chrono::seconds(15)), 130);
  close(master);
  // The cause comes before the box that follows from it.
  EXPECT_EQ(cli.Err().find("tobrane: "), cli.Err().find(kInterrupted)) << cli.Err();
  EXPECT_TRUE(Contains(cli.Err(), "Unable to communicate")) << cli.Err();
}

// Reads the terminal the CLI's stderr is on until text shows up.
bool WaitForText(int master, const std::string& text, std::chrono::milliseconds limit, std::string& seen) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    char buffer[256];
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) return false;
    seen.append(buffer, static_cast<std::size_t>(n));
    if (Contains(seen, text)) return true;
  }
  return false;
}

TEST_F(CliRun, SigintDuringProgrammingStillEndsTheFlashOperation) {
  // The UPS stops answering after the first block; SIGINT then ends the run with 130, the end-flash request
  // reaches the UPS and the process is gone.
  MakeRom("ups.rom", {"--ups", "500", "--load", "0x8000", "--size", "512"});
  nlohmann::json profile = BundledProfileJson("default");
  profile["faults"] = {
      {{"request", "program-block"}, {"occurrence", 2}, {"count", 100}, {"fault", "no-reply"}}};
  StartSim(WriteProfile(dir_, "stalls", profile));
  int master = -1, terminal = -1;
  ASSERT_EQ(openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
  CChildProcess cli;
  ASSERT_TRUE(cli.Start(Cli(
      {"--device", sim_.Device(), "--no-verify", "--report", "run.json", "program", "ups.rom"}, terminal)));
  close(terminal);
  std::string seen;
  const bool programming = WaitForText(master, "Programming [", std::chrono::seconds(30), seen);
  EXPECT_TRUE(programming) << seen;
  cli.Signal(SIGINT);
  // Keep reading the terminal so that the run never blocks on a full one.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (cli.Running() && std::chrono::steady_clock::now() < deadline)
    WaitForText(master, "\x04", std::chrono::milliseconds(100), seen);
  ExpectQuietEnd(cli, cli.Wait(std::chrono::milliseconds(0)), 130);
  EXPECT_TRUE(Contains(seen, kInterrupted) ||
              WaitForText(master, kInterrupted, std::chrono::seconds(1), seen))
      << seen;
  EXPECT_EQ(seen.find("tobrane: "), seen.find(kInterrupted)) << seen;
  close(master);
  const std::vector<std::string> kinds = StateRequestKinds(SimState());
  ASSERT_FALSE(kinds.empty());
  const auto end = std::find(kinds.begin(), kinds.end(), "end-flash");
  EXPECT_NE(end, kinds.end());
  EXPECT_NE(std::find(kinds.begin(), end, "program-block"), end);
  const nlohmann::json report = ValidReport(dir_ / "run.json");
  EXPECT_EQ(report["exitStatus"], 130);
  EXPECT_EQ(StepOutcomes(report).back(), "program interrupted");
}

TEST_F(CliRun, UnpluggedMidTransferEndsNamingTheLostDevice) {
  // The line goes dead after two acknowledged blocks: status 1 long before the retries' time-outs would
  // run out, the device named as lost, and the wait spent asleep.
  MakeRom("ups.rom", {"--ups", "500", "--load", "0x8000", "--size", "1024"});
  StartSim(BundledProfilePath("default"), {"--hangup-after-blocks", "2"});
  CChildProcess cli;
  ASSERT_TRUE(
      cli.Start(Cli({"--device", sim_.Device(), "--verify", "--report", "run.json", "program", "ups.rom"})));
  ExpectQuietEnd(cli, cli.Wait(kRunLimit), 1);
  // Connect takes a few seconds; five sendings of a block at 2 s each would take ten more.
  EXPECT_LT(cli.RunTime(), std::chrono::seconds(12));
  EXPECT_TRUE(Contains(cli.Err(), "tobrane: Lost the serial device " + sim_.Device() +
                                      " (Input/output error): it was unplugged or closed while in use.\n"))
      << cli.Err();
  // Said before any box that follows from it.
  EXPECT_EQ(cli.Err().find("tobrane: "), cli.Err().find("tobrane: Lost the serial device")) << cli.Err();
  EXPECT_TRUE(Contains(cli.Out(), "Programming Failed")) << cli.Out();
  const nlohmann::json state = SimState();
  EXPECT_EQ(state["hungUp"], true);
  const std::vector<std::string> kinds = StateRequestKinds(state);
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), "program-block"), 3);
  // The failed transfer in the report: two blocks of 128 bytes acknowledged, no read-back.
  const nlohmann::json report = ValidReport(dir_ / "run.json");
  EXPECT_EQ(StepOutcomes(report).back(), "program failed");
  EXPECT_EQ(report["transfer"]["programmedBytes"], 256);
  EXPECT_EQ(report["transfer"]["verifiedBytes"], 0);
  EXPECT_EQ(report["exitStatus"], 1);
}

TEST_F(CliRun, SecondRunOnADeviceInUseIsRefusedAtOnce) {
  // While one run programs, another on the same device gets the busy message and status 3 at once; the
  // first run goes on to program and verify the whole image.
  const Bytes data = MakeRom("ups.rom", {"--ups", "500", "--load", "0x8000", "--size", "4096"});
  StartSim(BundledProfilePath("default"));
  CTerminalReader terminal;
  CChildProcess first;
  ASSERT_TRUE(
      first.Start(Cli({"--device", sim_.Device(), "--verify", "program", "ups.rom"}, terminal.Terminal())));
  terminal.CloseTerminal();
  ASSERT_TRUE(terminal.WaitFor("Programming [", std::chrono::seconds(30))) << terminal.Seen();
  CChildProcess second;
  ASSERT_TRUE(second.Start(Cli({"--device", sim_.Device(), "connect"})));
  ExpectQuietEnd(second, second.Wait(std::chrono::seconds(10)), 3);
  EXPECT_LT(second.RunTime(), std::chrono::seconds(2));
  EXPECT_EQ(second.Err(), "tobrane: Port Open FAILED\ntobrane: Cannot open serial device " + sim_.Device() +
                              ": Device or resource busy\n"
                              "Another program holds the port (a modem manager, a terminal program, another "
                              "tobrane-cli); close it and try again.\n");
  EXPECT_TRUE(first.Running());
  ExpectQuietEnd(first, first.Wait(kRunLimit), 0);
  EXPECT_TRUE(Contains(first.Out(), "\nVerification Completed\n")) << first.Out();
  EXPECT_EQ(StateFlash(SimState(), {}, 1, 0x8000, data.size()), data);
}

}  // namespace
