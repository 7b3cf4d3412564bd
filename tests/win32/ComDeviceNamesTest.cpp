#include <gtest/gtest.h>
#include <windows.h>

#include "TestRig.h"
#include "serial/Win32ComDevice.h"

namespace {

TEST(ComDeviceNames, ComNumbersAndDeviceNames) {
  // COMn in either spelling and any case gives n; anything else gives 0; COM10 and above open through \\.\.
  EXPECT_EQ(ComPortNumber("COM7"), 7);
  EXPECT_EQ(ComPortNumber("com12"), 12);
  EXPECT_EQ(ComPortNumber("\\\\.\\COM255"), 255);
  EXPECT_EQ(ComPortNumber("COM300"), 300);
  for (const char* name : {"COM", "COM0", "COM07", "COMX", "LPT1", "C:\\COM1.txt", "COM1234567890"}) {
    EXPECT_EQ(ComPortNumber(name), 0) << name;
  }
  CWin32ComDevice device;
  EXPECT_EQ(device.PortDeviceName(2), "COM2");
  EXPECT_EQ(device.PortDeviceName(12), "\\\\.\\COM12");
}

TEST(ComDeviceNames, UnusableNamesAreRefusedWithTheirOwnErrors) {
  // Above COM255, a file, and a port that does not exist: each refused with its own error, nothing left open.
  CWorkDir dir;
  const std::string file = dir.Write("notes.txt", std::string("not a port"));
  CWin32ComDevice device;
  EXPECT_EQ(device.Open("COM256"), PortError::Win32(ERROR_INVALID_NAME));
  EXPECT_EQ(device.Open(file), PortError::Win32(ERROR_BAD_DEVICE));
  const int missing = device.Open("COM199").code;
  EXPECT_TRUE(missing == ERROR_FILE_NOT_FOUND || missing == ERROR_PATH_NOT_FOUND) << missing;
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.SetModemLine(ModemLine::Dtr, true), PortError::Win32(ERROR_INVALID_HANDLE));
}

}  // namespace
