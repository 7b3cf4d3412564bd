#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "frontend/PlatformPort.h"

namespace {

// Wine opens a COM port a second time although the first open shares
// nothing, so the refusal Windows gives is explained here from its codes.
TEST(PortErrorText, AHeldPortNamesTheUsualHoldersWithTheSystemReason) {
  for (int error : {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
    const std::string text = ExplainPortError("COM3", PortError::Win32(error));
    EXPECT_EQ(text.rfind("Cannot open serial device COM3: " + SystemErrorText(PortError::Win32(error)), 0),
              0u)
        << text;
    EXPECT_NE(text.find("Another program holds the port: a terminal program"), std::string::npos) << text;
  }
}

// errno's EIO is 5, Windows' ERROR_ACCESS_DENIED too: an errno code keeps
// errno's text and gets no advice meant for a held port.
TEST(PortErrorText, AnErrnoCodeIsNeverToldWithTheWindowsText) {
  const std::string posix = SystemErrorText(PortError::Posix(EIO));
  EXPECT_NE(posix, SystemErrorText(PortError::Win32(ERROR_ACCESS_DENIED)));
  EXPECT_EQ(posix, std::strerror(EIO));
  EXPECT_EQ(ExplainPortError("COM3", PortError::Posix(EIO)).find("Another program holds"), std::string::npos);
}

}  // namespace
