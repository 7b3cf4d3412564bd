#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "frontend/PlatformPort.h"
#include "frontend/PortErrorText.h"
#include "frontend/SerialDeviceList.h"

namespace {

PortAccessFacts Facts() {
  PortAccessFacts f;
  f.user = "tech";
  f.owner = "root";
  f.group = "dialout";
  f.mode = 020660;
  f.known = true;
  return f;
}

TEST(PortErrorText, PermissionDeniedNamesUserOwnerGroupModeAndFix) {
  // EACCES tells the user who they are, who owns the device, and which group to join.
  EXPECT_EQ(DescribePortError("/dev/ttyUSB0", PortError::Posix(EACCES), Facts()),
            "Cannot open serial device /dev/ttyUSB0: Permission denied\n"
            "You are tech; the device belongs to root, group dialout, mode 0660.\n"
            "Fix: add yourself to that group (sudo usermod -aG dialout tech), then log in again; "
            "on Debian serial ports belong to group dialout.");
}

TEST(PortErrorText, BusyMissingAndNotATtyEachSayWhatToDo) {
  // The other common failures name the device, the OS reason and the next step.
  const std::string busy = DescribePortError("/dev/ttyS0", PortError::Posix(EBUSY), Facts());
  EXPECT_EQ(busy.rfind("Cannot open serial device /dev/ttyS0: Device or resource busy\n", 0), 0u);
  EXPECT_NE(busy.find("Another program holds the port"), std::string::npos);
  EXPECT_NE(DescribePortError("/dev/ttyS9", PortError::Posix(ENOENT), {}).find("tobrane-cli ports"),
            std::string::npos);
  EXPECT_NE(DescribePortError("/dev/null", PortError::Posix(ENOTTY), {}).find("not a serial device"),
            std::string::npos);
}

TEST(PortErrorText, FactsOfARealNodeAreGathered) {
  // /dev/null exists everywhere: its owner and mode are read.
  const PortAccessFacts f = GatherPortAccessFacts("/dev/null");
  EXPECT_TRUE(f.known);
  EXPECT_EQ(f.owner, "root");
  EXPECT_EQ(f.mode & 0777u, 0666u);
  EXPECT_FALSE(GatherPortAccessFacts("/dev/does-not-exist").known);
}

// The same number means different things to errno and to Windows: each is
// told and advised in its own domain.
TEST(PortErrorText, ACodeIsToldInItsOwnDomain) {
  const PortError win32NotFound = PortError::Win32(2);  // ERROR_FILE_NOT_FOUND
  EXPECT_NE(SystemErrorText(win32NotFound), std::strerror(2));
  EXPECT_EQ(SystemErrorText(win32NotFound), "Windows error 2");
  EXPECT_NE(DescribePortError("/dev/ttyS0", win32NotFound, {}).find("The device is not there"),
            std::string::npos);
  const PortError win32Denied = PortError::Win32(5);  // ERROR_ACCESS_DENIED, where errno has EIO
  EXPECT_EQ(win32Denied.Meaning(), PortFailure::AccessDenied);
  EXPECT_FALSE(win32Denied.MeansDeviceGone());
  EXPECT_TRUE(PortError::Posix(EIO).MeansDeviceGone());
  EXPECT_TRUE(PortError::Posix(ENXIO).MeansDeviceGone());
  EXPECT_FALSE(PortError::Posix(ENOENT).MeansDeviceGone());
  EXPECT_EQ(DescribePortError("/dev/ttyS0", PortError::Posix(EIO), {}),
            "Cannot open serial device /dev/ttyS0: " + std::string(std::strerror(EIO)));
  EXPECT_EQ(DescribePortError("/dev/ttyS0", {}, {}), "Cannot open serial device /dev/ttyS0");
}

TEST(SerialDeviceList, ComNumbersMapToTtySDevices) {
  // COMn is /dev/ttyS(n-1); other devices have no COM number.
  EXPECT_EQ(ComNumberForDevice("/dev/ttyS0"), 1);
  EXPECT_EQ(ComNumberForDevice("/dev/ttyS3"), 4);
  EXPECT_EQ(ComNumberForDevice("/dev/ttyS12"), 13);
  EXPECT_EQ(ComNumberForDevice("/dev/ttyUSB0"), 0);
  EXPECT_EQ(ComNumberForDevice("/dev/ttyS"), 0);
  EXPECT_EQ(ComNumberForDevice("/dev/ttySx"), 0);
  EXPECT_EQ(DescribeSerialDevice({"/dev/ttyS1", "", 2}), "/dev/ttyS1  COM2 (Port 2)");
  EXPECT_EQ(
      DescribeSerialDevice({"/dev/serial/by-id/usb-X", "/dev/ttyUSB0", 0}),
      "/dev/serial/by-id/usb-X -> /dev/ttyUSB0  no COM number: use --device or the \"Serial\"/\"Device\" "
      "setting");
}

}  // namespace
