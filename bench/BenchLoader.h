#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "serial/SerialDevice.h"
#include "sim/MemorySettingsStore.h"
#include "sim/SilentView.h"

// The transfer the throughput figures are taken on: a 64 KiB image into one
// code space, 128-byte blocks.
inline constexpr std::uint32_t kBenchImageBytes = 64 * 1024;
inline constexpr std::uint32_t kBenchLoadAddress = 0x20000;

// The stop-and-wait limit of the wire for Program UPS (verify off) or Verify
// Program of that image: every frame byte both ways at 10 bits a byte, one
// block in flight.
double WireLimitSeconds(int command, std::uint32_t baud);

// The loader over a UPS already waiting on the device at the given speed,
// identified and with its flash spaces read, as a Connect leaves it. Writes
// the image and the model table into the directory.
class CBenchLoader {
 public:
  CBenchLoader(const std::filesystem::path& dir, const std::string& device, std::uint32_t baud,
               std::unique_ptr<ISerialDevice> serial);
  ~CBenchLoader();
  CBenchLoader(const CBenchLoader&) = delete;
  CBenchLoader& operator=(const CBenchLoader&) = delete;

  bool Ready() const { return ready_; }
  // Opens the image and times one command on it; false when it failed.
  bool Timed(int command, double& seconds);
  const std::string& LastBox() const { return view_.lastBox; }

 private:
  CMemorySettingsStore store_;
  CSystemClock clock_;
  CSilentView view_;
  std::unique_ptr<CLoaderApp> app_;
  std::unique_ptr<CMainFrame> frame_;
  std::string image_;
  bool ready_ = false;
};
