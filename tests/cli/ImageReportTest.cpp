#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/ImageReport.h"
#include "sim/SampleRom.h"

namespace {

namespace fs = std::filesystem;

struct InspectRig {
  std::ostringstream out, err;
  int Run(const std::string& file) {
    LoaderCommandLine command;
    command.command = LoaderCommandLine::Command::Inspect;
    command.file = file;
    command.models = TOBRANE_SOURCE_DIR "/examples/OEMModel.ini";
    return RunInspect(command, {out, err});
  }
};

TEST(ImageReport, FilesThatHoldNoImageExitFourWithAClearMessage) {
  // Missing, a directory, empty and one byte long: one message each, never a crash.
  const fs::path dir = fs::temp_directory_path() / ("tobrane-inspect-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "empty.rom").flush();
  std::ofstream(dir / "one.rom") << 'x';
  const std::pair<std::string, std::string> cases[] = {
      {(dir / "none.rom").string(), ": No such file or directory\n"},
      {dir.string(), ": is a directory, not a ROM file\n"},
      {(dir / "empty.rom").string(), "the file is empty: no ROM image\n"},
      {(dir / "one.rom").string(),
       "the file is only 1 bytes long: Open finds no ROM data in a file of 16 bytes or fewer\n"},
  };
  for (const auto& [path, message] : cases) {
    InspectRig rig;
    EXPECT_EQ(rig.Run(path), 4) << path;
    EXPECT_NE(rig.err.str().find(message), std::string::npos) << rig.err.str();
    EXPECT_EQ(rig.err.str().rfind("tobrane: ", 0), 0u);
  }
  fs::remove_all(dir);
}

TEST(ImageReport, AGoodImageExitsZeroAndARejectedOneFour) {
  // The facts go to stdout either way; only a rejection changes the status.
  const fs::path file =
      fs::temp_directory_path() / ("tobrane-inspect-" + std::to_string(::getpid()) + ".rom");
  const auto write = [&](const std::vector<std::uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  };
  write(BuildSampleRom({}));
  InspectRig good;
  EXPECT_EQ(good.Run(file.string()), 0);
  EXPECT_NE(good.out.str().find("UPS ID:           500 = Tobrane 500\n"), std::string::npos);
  EXPECT_EQ(good.err.str(), "");
  write(BuildSampleRom({.ups = 42}));
  InspectRig rejected;
  EXPECT_EQ(rejected.Run(file.string()), 4);
  EXPECT_NE(rejected.out.str().find("ROM data:         512 bytes\n"), std::string::npos);
  EXPECT_NE(rejected.err.str().find("tobrane: UPS ID 42 is not in "), std::string::npos);
  fs::remove(file);
}

}  // namespace
