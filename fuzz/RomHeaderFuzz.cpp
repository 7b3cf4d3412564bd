// The ROM image header over any file: parsed on its own, and read by Open
// in a loader that has connected to the in-process simulator, so the model
// lookup, the module and version checks and the flash space match all see it.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "fuzz/ScratchDir.h"
#include "rom/RomHeader.h"
#include "sim/MemorySettingsStore.h"
#include "sim/SilentView.h"
#include "sim/SimDevice.h"
#include "sim/UpsSimulator.h"
#include "sim/VirtualClock.h"

namespace {

SimProfile DefaultProfile() {
  SimProfile profile;
  std::string error;
  if (!LoadBundledSimProfile("default", profile, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::abort();
  }
  return profile;
}

// A loader connected once, in a directory of its own holding the model file
// (the lookup reads it from the working directory). The directory goes when
// the run ends.
struct CConnectedLoader {
  CConnectedLoader() : ups(DefaultProfile()) {
    std::string dir = ScratchDir() + "/tobrane-fuzz-rom-XXXXXX";
    if (::mkdtemp(dir.data()) == nullptr) std::abort();
    std::filesystem::copy_file(std::string(TOBRANE_SOURCE_DIR) + "/examples/OEMModel.ini",
                               dir + "/OEMModel.ini");
    std::filesystem::current_path(dir);
    workDir = dir;
    imagePath = dir + "/image.rom";
    store.Write("Serial", "Device", "/dev/sim");
    auto device = std::make_unique<CSimDevice>(clock, ups);
    CSimDevice* line = device.get();
    app = std::make_unique<CLoaderApp>(store, clock, std::move(device), line->MakePumpRunner());
    app->Start("");
    frame = std::make_unique<CMainFrame>(*app, view);
    app->AttachMainWindow(*frame);
    frame->Create();
    frame->FirstPaint();
    frame->RunCommand(kCmdConnect);
    if (frame->Connection().connected != 1) std::abort();
  }

  ~CConnectedLoader() {
    frame.reset();
    app.reset();
    std::error_code ignored;
    std::filesystem::remove_all(workDir, ignored);
  }

  CMemorySettingsStore store;
  CVirtualClock clock;
  CUpsSimulator ups;
  CSilentView view;
  std::unique_ptr<CLoaderApp> app;
  std::unique_ptr<CMainFrame> frame;
  std::string workDir;
  std::string imagePath;
};

void ParseAlone(const std::uint8_t* data, std::size_t size) {
  const RomHeader header = ParseRomHeader(data, size);
  (void)header.LoadAddress();
  (void)header.UpsId();
  (void)header.ModuleCode();
  (void)header.Year();
  if (header.CalculatedChecksum() == header.StoredChecksum()) (void)header.CodeVersion();
  if (RomDataSize(size, header.declaredSize) < 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CConnectedLoader loader;
  ParseAlone(data, size);
  std::FILE* file = std::fopen(loader.imagePath.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  loader.frame->OpenNamedFile(loader.imagePath);
  loader.frame->CloseImage();
  return 0;
}
