// The Win32 backend under Wine over a Linux pty with tobrane-upssim at the
// far end: tests/wine/sim-com-port.sh starts the simulator, links the pty as
// the COM port named in TOBRANE_COM, and runs these.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "TestRig.h"
#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "serial/Win32ComDevice.h"

namespace {

std::string ComName() {
  const char* name = std::getenv("TOBRANE_COM");
  return name != nullptr ? name : "";
}

// The system clock, counting the sleeps of the port's stop handshake.
class CCountingClock final : public IClock {
 public:
  void SleepMs(int ms) override {
    ++sleeps;
    clock_.SleepMs(ms);
  }
  std::int64_t NowMs() override { return clock_.NowMs(); }
  std::int64_t WallSeconds() override { return clock_.WallSeconds(); }
  void WaitFor(int ms, CSignal& signal, const std::function<bool()>& changed) override {
    clock_.WaitFor(ms, signal, changed);
  }
  int sleeps = 0;

 private:
  CSystemClock clock_;
};

// The whole loader in this process over the COM port, in real time.
struct ComLoader {
  ComLoader() {
    dir.Write("OEMModel.ini", ExampleModelFile());
    store.Write("Serial", "Device", ComName());
    app = std::make_unique<CLoaderApp>(store, clock, std::make_unique<CWin32ComDevice>());
    app->Start("");
    frame = std::make_unique<CMainFrame>(*app, view);
    app->AttachMainWindow(*frame);
    frame->Create();
  }
  ~ComLoader() {
    frame.reset();
    app.reset();
  }
  // Connect, then Program UPS of a 16 KiB image with verify on.
  bool ConnectAndProgram() {
    frame->RunCommand(kCmdConnect);
    const std::string image = dir.Write("image.rom", BuildSampleRom({.size = 16384}));
    return frame->OpenNamedFile(image) == 1 && (frame->RunCommand(kCmdProgram), frame->Rom().programmed != 0);
  }

  CWorkDir dir;
  CMemorySettingsStore store;
  CCountingClock clock;
  CRecordingView view;
  std::unique_ptr<CLoaderApp> app;
  std::unique_ptr<CMainFrame> frame;
};

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

TEST(ComOverPty, ConnectsProgramsAndVerifies) {
  // The default UPS on COMn: connect, program and verify end green without a box, and close wakes the pump at
  // once.
  ComLoader loader;
  ASSERT_TRUE(loader.app->Port()->IsOpen()) << loader.app->Port()->LastError().code;
  ASSERT_TRUE(loader.ConnectAndProgram()) << loader.frame->TranscriptText();
  EXPECT_EQ(loader.view.colour, StatusColour::Ok);
  EXPECT_TRUE(loader.view.boxes.empty());
  EXPECT_TRUE(loader.frame->LastVerifyPassed());
  loader.clock.sleeps = 0;
  loader.app->Port()->Close();
  EXPECT_LE(loader.clock.sleeps, 1);
}

TEST(ComOverPty, IdlePumpDoesNotSpin) {
  // An open port with nothing arriving costs next to no processor time, with or without modem lines.
  ComLoader loader;
  ASSERT_TRUE(loader.app->Port()->IsOpen());
  const double before = ProcessCpuSeconds();
  Sleep(1000);
  EXPECT_LT(ProcessCpuSeconds() - before, 0.25);
}

TEST(ComOverPty, ModemLinesWorkOrFailWithTheirError) {
  // With the rig's modem lines DTR and RTS can be driven; without them the failure keeps ERROR_NOT_SUPPORTED.
  ComLoader loader;
  CSerialPort& port = *loader.app->Port();
  ModemStatus status;
  if (std::getenv("TOBRANE_MODEM_LINES") != nullptr) {
    EXPECT_TRUE(port.SetModemLine(ModemLine::Dtr, false));
    EXPECT_TRUE(port.SetModemLine(ModemLine::Rts, true));
    EXPECT_TRUE(port.GetModemStatus(status));
  } else {
    EXPECT_FALSE(port.SetModemLine(ModemLine::Dtr, false));
    EXPECT_EQ(port.LastError(), PortError::Win32(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(port.GetModemStatus(status));
  }
}

TEST(ComOverPtyUnplugged, LostDeviceEndsTheTransferAtOnce) {
  // The simulator hangs up after a few blocks: Program UPS fails, the port knows the device is lost, and the
  // transfer does not wait out its time-outs.
  ComLoader loader;
  const auto start = GetTickCount64();
  EXPECT_FALSE(loader.ConnectAndProgram());
  EXPECT_TRUE(loader.app->Port()->DeviceLost());
  EXPECT_TRUE(loader.app->Port()->LastError());
  EXPECT_LT(GetTickCount64() - start, 15000u);
}

}  // namespace
