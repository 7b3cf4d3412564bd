#include "bench/BenchLoader.h"

#include <chrono>
#include <fstream>

#include "app/CommandIds.h"
#include "sim/SampleRom.h"

namespace {

constexpr double kBlock = 128;
constexpr double kBitsPerByte = 10;
constexpr double kBlocks = kBenchImageBytes / kBlock;

// Frame sizes on the wire: start byte, header, data, checksum.
constexpr double kProgramRequest = 11 + kBlock;  // AB len C9 'W' module descriptor address(4) data ck
constexpr double kProgramReply = 6;              // AB block len seq 'W' ck
constexpr double kReadRequest = 15;              // AB len C9 'R' module descriptor address(4) count(4) ck
constexpr double kReadReply = 5 + 11 + kBlock;   // AB block len seq, the request's 11 bytes, data, ck
constexpr double kStartFlash = 15 + 6;
constexpr double kEndFlash = 6 + 6;
constexpr double kReset = 5;

}  // namespace

double WireLimitSeconds(int command, std::uint32_t baud) {
  const double bytes = command == kCmdVerify
                           ? kBlocks * (kReadRequest + kReadReply)
                           : kStartFlash + kBlocks * (kProgramRequest + kProgramReply) + kEndFlash + kReset;
  return bytes * kBitsPerByte / baud;
}

CBenchLoader::CBenchLoader(const std::filesystem::path& dir, const std::string& device, std::uint32_t baud,
                           std::unique_ptr<ISerialDevice> serial) {
  std::ofstream(dir / "OEMModel.ini") << "[0]\n1 = Placeholder\n500 = Tobrane 500\n";
  image_ = (dir / "image.rom").string();
  const std::vector<std::uint8_t> rom = BuildSampleRom({.load = kBenchLoadAddress, .size = kBenchImageBytes});
  std::ofstream(image_, std::ios::binary)
      .write(reinterpret_cast<const char*>(rom.data()), static_cast<std::streamsize>(rom.size()));
  store_.Write("Serial", "Device", device);
  store_.Write("Serial", "BaudRate", std::to_string(baud));
  store_.Write("Config", "Verify", "N");
  app_ = std::make_unique<CLoaderApp>(store_, clock_, std::move(serial));
  app_->Start("");
  frame_ = std::make_unique<CMainFrame>(*app_, view_);
  app_->AttachMainWindow(*frame_);
  frame_->Create();
  ready_ = frame_->Connect().IdentificationStep() != 0;
  frame_->Connect().ServiceModeStep();
  ready_ = ready_ && frame_->Connect().FlashCapabilitiesStep() != 0;
  frame_->Connection().connected = 1;
}

CBenchLoader::~CBenchLoader() {
  frame_.reset();
  app_.reset();
}

bool CBenchLoader::Timed(int command, double& seconds) {
  if (frame_->OpenNamedFile(image_) != 1 || frame_->Rom().selectedSpace == 0) return false;
  view_.colour = StatusColour::Ok;
  const auto start = std::chrono::steady_clock::now();
  frame_->RunCommand(command);
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return view_.colour == StatusColour::Ok && view_.lastBox.empty();
}
