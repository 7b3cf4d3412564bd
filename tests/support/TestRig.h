#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "RecordingView.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "sim/MemorySettingsStore.h"
#include "sim/SampleRom.h"
#include "sim/SimDevice.h"
#include "sim/UpsSimulator.h"
#include "sim/VirtualClock.h"

// A fresh temporary directory made the working directory for its lifetime,
// as the loader looks for its model file in the working directory.
class CWorkDir {
 public:
  CWorkDir();
  ~CWorkDir();
  CWorkDir(const CWorkDir&) = delete;
  CWorkDir& operator=(const CWorkDir&) = delete;

  // Writes a file in the directory and returns its path.
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
  std::string Write(const std::string& name, const std::string& text) const;
  void Remove(const std::string& name) const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

// The whole loader in one process: the real application, main frame, serial
// port and receive pump, over the simulated UPS on the virtual clock, with a
// recording view and an in-memory settings store. The working directory
// holds the examples' model file.
//
//   CTestRig rig;            // the default profile
//   rig.Start();             // start-up, window creation, first paint
//   rig.Run(kCmdConnect);
//   EXPECT_EQ(rig.Text(), "...");
class CTestRig {
 public:
  explicit CTestRig(const std::string& profileName = "default");
  explicit CTestRig(SimProfile profile);
  ~CTestRig();
  CTestRig(const CTestRig&) = delete;
  CTestRig& operator=(const CTestRig&) = delete;

  // Loads a bundled profile or fails the test.
  static SimProfile Profile(const std::string& name = "default");

  // Start-up as the front ends run it; firstPaint false stops before it.
  void Start(const std::string& commandLine = "", bool firstPaint = true);
  void Run(int commandId) { frame->RunCommand(commandId); }
  // Writes a sample ROM image into the working directory.
  std::string WriteRom(const SampleRomFields& fields, const std::string& name = "image.rom") const;
  // Connect, then Open of the image; true when the image is open.
  bool ConnectAndOpen(const std::string& romPath);
  // The transcript with "\r\n" shown as "\n", for readable expectations.
  std::string Text() const;
  std::vector<std::uint8_t> Flash(std::uint32_t address, std::size_t count, int cpu = 1,
                                  const std::vector<std::uint8_t>& route = {}) const;

  CWorkDir dir;
  CMemorySettingsStore store;
  CVirtualClock clock;
  CUpsSimulator ups;
  CSimDevice* line = nullptr;  // owned by the port
  CRecordingView view;
  std::unique_ptr<CLoaderApp> app;
  std::unique_ptr<CMainFrame> frame;
};

// The examples' model file text.
std::string ExampleModelFile();
