#include "TestRig.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "app/CommandIds.h"

namespace fs = std::filesystem;

namespace {

// A new directory of a name nobody else has made (what mkdtemp does, which
// Windows lacks).
std::string MakeUniqueDirectory() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path path =
        fs::temp_directory_path() / ("tobrane-rig-" + std::to_string(random() % 1000000000));
    if (fs::create_directory(path)) return path.string();
  }
  throw std::runtime_error("cannot make a temporary directory");
}

}  // namespace

CWorkDir::CWorkDir() {
  path_ = MakeUniqueDirectory();
  previous_ = fs::current_path().string();
  fs::current_path(path_);
}

CWorkDir::~CWorkDir() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
  fs::remove_all(path_, ignored);
}

std::string CWorkDir::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  const std::string path = path_ + "/" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string CWorkDir::Write(const std::string& name, const std::string& text) const {
  return Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void CWorkDir::Remove(const std::string& name) const {
  std::error_code ignored;
  fs::remove(path_ + "/" + name, ignored);
}

std::string ExampleModelFile() {
  std::ifstream in(std::string(TOBRANE_SOURCE_DIR) + "/examples/OEMModel.ini", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

SimProfile CTestRig::Profile(const std::string& name) {
  SimProfile profile;
  std::string error;
  if (!LoadBundledSimProfile(name, profile, error)) ADD_FAILURE() << error;
  return profile;
}

CTestRig::CTestRig(const std::string& profileName) : CTestRig(Profile(profileName)) {}

CTestRig::CTestRig(SimProfile profile) : ups(std::move(profile)) {
  dir.Write("OEMModel.ini", ExampleModelFile());
  store.Write("Serial", "Device", "/dev/sim");
  auto device = std::make_unique<CSimDevice>(clock, ups);
  line = device.get();
  app = std::make_unique<CLoaderApp>(store, clock, std::move(device), line->MakePumpRunner());
}

CTestRig::~CTestRig() {
  frame.reset();
  app.reset();
}

void CTestRig::Start(const std::string& commandLine, bool firstPaint) {
  app->Start(commandLine);
  frame = std::make_unique<CMainFrame>(*app, view);
  app->AttachMainWindow(*frame);
  frame->Create();
  if (firstPaint) frame->FirstPaint();
}

std::string CTestRig::WriteRom(const SampleRomFields& fields, const std::string& name) const {
  return dir.Write(name, BuildSampleRom(fields));
}

bool CTestRig::ConnectAndOpen(const std::string& romPath) {
  Run(kCmdConnect);
  view.romFiles.push_back(romPath);
  Run(kCmdOpen);
  return !frame->Rom().romFileName.empty();
}

std::string CTestRig::Text() const {
  return UnixLineEnds(frame->TranscriptText());
}

std::vector<std::uint8_t> CTestRig::Flash(std::uint32_t address, std::size_t count, int cpu,
                                          const std::vector<std::uint8_t>& route) const {
  return ups.ReadFlash(route, cpu, address, count);
}
