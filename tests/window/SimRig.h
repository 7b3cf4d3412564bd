#pragma once

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "app/SettingsStore.h"
#include "cli/CliView.h"
#include "sim/SimDevice.h"
#include "sim/UpsSimulator.h"
#include "sim/VirtualClock.h"

// Runs the event loop until done() holds; false when it never does. The
// limit only stops a broken test, no outcome depends on it.
inline bool WaitUntil(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 20000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// A ROM image as tobrane-makerom writes it: valid 20-byte header, then size data bytes.
struct RomSpec {
  std::uint16_t ups = 500;
  std::uint16_t module = 1;
  std::uint32_t load = 0x8000;
  std::uint32_t size = 512;
};

inline void WriteRom(const std::string& path, const RomSpec& fields) {
  std::vector<std::uint8_t> b(20 + fields.size);
  auto put16 = [&b](std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  };
  b[0] = 0xAA;
  b[1] = 0xEE;
  b[2] = 18;
  put16(4, fields.load & 0xFFFF);
  put16(6, fields.load >> 16);
  put16(8, fields.ups);
  put16(10, fields.module);
  put16(12, 0x0300);
  b[14] = 7;
  b[15] = 12;
  put16(16, 2026);
  std::uint32_t sum = 0;
  for (std::size_t at = 2; at <= 16; at += 2) sum += b[at] + 256u * b[at + 1];
  put16(18, sum);
  for (std::uint32_t i = 0; i < fields.size; ++i) b[20 + i] = static_cast<std::uint8_t>(i * 7);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// A fresh current directory holding the examples' OEMModel.ini, left again
// and removed at the end.
class CWorkingDir {
 public:
  CWorkingDir() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tobrane-window-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    std::filesystem::copy_file(std::filesystem::path(TOBRANE_SOURCE_DIR) / "examples" / "OEMModel.ini",
                               dir_ / "OEMModel.ini");
    std::filesystem::current_path(dir_);
  }
  ~CWorkingDir() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
  }
  CWorkingDir(const CWorkingDir&) = delete;
  CWorkingDir& operator=(const CWorkingDir&) = delete;
  std::string File(const std::string& name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path previous_;
  std::filesystem::path dir_;
};

// The simulated UPS behind the real serial port, on the virtual clock, and
// an application object over it with settings in memory.
struct SimUps {
  CVirtualClock clock;
  CUpsSimulator ups;
  CMemorySettingsStore store;
  CLoaderApp app;

  explicit SimUps(const SimProfile& profile, const std::string& commandLine = "")
      : ups(profile), app(store, clock, std::make_unique<CSimDevice>(clock, ups)) {
    store.Write("Serial", "Port", "1");
    store.Write("Serial", "Device", "/dev/sim");
    app.Start(commandLine);
  }
};

inline SimProfile DefaultProfile() {
  SimProfile profile;
  std::string error;
  LoadBundledSimProfile("default", profile, error);
  return profile;
}

// What tobrane-cli prints on stdout for the same run: the steps run on a
// CMainFrame over a CCliView, then the close request and Finish.
inline std::string CliTranscript(CLoaderApp& app, const std::function<void(CMainFrame&)>& steps) {
  std::ostringstream out;
  std::ostringstream err;
  CCliView view({out, err, false, false}, "", "");
  CMainFrame frame(app, view);
  app.AttachMainWindow(frame);
  frame.Create();
  frame.FirstPaint(96);
  steps(frame);
  frame.OnCloseRequest();
  view.Finish(frame.Transcript());
  return out.str();
}
