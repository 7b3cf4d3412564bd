// tobrane-upssim --profile FILE [--state-out FILE] [--hangup-after-blocks K]:
// the simulated UPS on a pseudo-terminal. Prints the slave path, serves until
// SIGTERM or SIGINT, then writes the state file. With K, the line goes dead
// (the master is closed) when block K + 1 arrives, as an unplugged adapter.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "sim/UpsSimulator.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

constexpr const char* kUsage =
    "usage: tobrane-upssim --profile FILE [--state-out FILE] [--hangup-after-blocks K]\n";

constexpr const char* kHelp =
    "Usage: tobrane-upssim --profile FILE [--state-out FILE] [--hangup-after-blocks K]\n"
    "\n"
    "A simulated UPS on a pseudo-terminal, for trying tobrane-cli and\n"
    "tobrane-loader without hardware. Prints the terminal's path on the first\n"
    "line of stdout, answers there until SIGTERM or SIGINT, then writes its\n"
    "record.\n"
    "\n"
    "Options:\n"
    "  --profile FILE             the UPS to simulate (JSON): its identity, flash\n"
    "                             spaces, modules and faults\n"
    "  --state-out FILE           write the flash contents and every request\n"
    "                             received to FILE (JSON) at the end\n"
    "  --hangup-after-blocks K    close the line when program block K + 1\n"
    "                             arrives, as an unplugged adapter would\n"
    "  --help                     show this help\n"
    "\n"
    "Exit status:\n"
    "  0    ended by a signal, the record written\n"
    "  1    the profile or the terminal could not be used\n"
    "  2    usage error\n";

void OnSignal(int) {
  gStop = 1;
}

std::int64_t NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::uint32_t BaudOf(speed_t speed) {
  static const std::pair<speed_t, std::uint32_t> table[] = {
      {B300, 300},   {B600, 600},     {B1200, 1200},   {B2400, 2400},   {B4800, 4800},
      {B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
  for (const auto& [s, baud] : table)
    if (s == speed) return baud;
  return 0;
}

SimHostLine HostLine(int master) {
  SimHostLine host;
  host.modemLines = false;
  termios tio{};
  if (tcgetattr(master, &tio) == 0) host.baud = BaudOf(cfgetospeed(&tio));
  return host;
}

// A decimal count of blocks, or -1.
int BlockCount(const std::string& text) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::stoi(text);
}

int OpenPty(std::string& slavePath, int& slave) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
  slavePath = ptsname(master);
  // Holding the slave open keeps the master from reporting a hang-up before
  // the loader opens it; raw mode keeps our replies from being echoed.
  slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
  termios tio{};
  if (slave >= 0 && tcgetattr(slave, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
  }
  return master;
}

void Serve(CUpsSimulator& ups, int master, int slave) {
  std::vector<SimOutput> pending;
  SimHostLine host = HostLine(master);
  ups.OnHostLine(host, NowUs());
  bool open = true;
  while (!gStop) {
    const std::int64_t now = NowUs();
    const SimHostLine line = HostLine(master);
    if (open && line.baud != host.baud) {
      host = line;
      auto out = ups.OnHostLine(host, now);
      pending.insert(pending.end(), out.begin(), out.end());
    }
    std::stable_sort(pending.begin(), pending.end(),
                     [](const SimOutput& a, const SimOutput& b) { return a.atUs < b.atUs; });
    while (open && !pending.empty() && pending.front().atUs <= now) {
      SimOutput o = pending.front();
      pending.erase(pending.begin());
      if (o.hangUp) {
        close(master);
        close(slave);
        open = false;
        break;
      }
      if (host.baud != o.baud)
        std::transform(o.bytes.begin(), o.bytes.end(), o.bytes.begin(), SimMismatchedByte);
      if (write(master, o.bytes.data(), o.bytes.size()) < 0) break;
    }
    int timeoutMs = 20;
    if (!pending.empty())
      timeoutMs = static_cast<int>(std::clamp<std::int64_t>((pending.front().atUs - now) / 1000, 0, 20));
    if (!open) {
      pause();
      continue;
    }
    pollfd fd{master, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) > 0 && (fd.revents & POLLIN)) {
      std::uint8_t buffer[256];
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n > 0) {
        auto out = ups.OnBytes(buffer, static_cast<std::size_t>(n), NowUs(), HostLine(master));
        pending.insert(pending.end(), out.begin(), out.end());
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string profilePath;
  std::string stateOut;
  int hangUpAfterBlocks = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::cout << kHelp;
      return 0;
    }
    if (arg == "--profile" && i + 1 < argc) {
      profilePath = argv[++i];
    } else if (arg == "--state-out" && i + 1 < argc) {
      stateOut = argv[++i];
    } else if (arg == "--hangup-after-blocks" && i + 1 < argc) {
      hangUpAfterBlocks = BlockCount(argv[++i]);
      if (hangUpAfterBlocks < 0) {
        std::cerr << kUsage;
        return 2;
      }
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  if (profilePath.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  SimProfile profile;
  std::string error;
  if (!LoadSimProfile(profilePath, profile, error)) {
    std::cerr << "tobrane-upssim: " << error << "\n";
    return 1;
  }
  // Real-time line: bytes take their time at the line speed.
  profile.line.pacing = true;
  if (hangUpAfterBlocks >= 0)
    profile.faults.push_back({SimRequestKind::ProgramBlock, hangUpAfterBlocks + 1, 1, SimFaultKind::HangUp});
  CUpsSimulator ups(profile);
  std::string slavePath;
  int slave = -1;
  const int master = OpenPty(slavePath, slave);
  if (master < 0) {
    std::cerr << "tobrane-upssim: cannot create a pseudo-terminal: " << std::strerror(errno) << "\n";
    return 1;
  }
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  std::cout << slavePath << std::endl;
  Serve(ups, master, slave);
  if (!stateOut.empty()) {
    std::ofstream out(stateOut);
    out << ups.StateJson() << "\n";
    if (!out) {
      std::cerr << "tobrane-upssim: cannot write " << stateOut << "\n";
      return 1;
    }
  }
  return 0;
}
