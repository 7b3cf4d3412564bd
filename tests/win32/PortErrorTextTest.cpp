#include <gtest/gtest.h>
#include <windows.h>

#include "frontend/PlatformPort.h"

namespace {

// Wine opens a COM port a second time although the first open shares
// nothing, so the refusal Windows gives is explained here from its codes.
TEST(PortErrorText, AHeldPortNamesTheUsualHoldersWithTheSystemReason) {
  for (int error : {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
    const std::string text = ExplainPortError("COM3", error);
    EXPECT_EQ(text.rfind("Cannot open serial device COM3: " + SystemErrorText(error), 0), 0u) << text;
    EXPECT_NE(text.find("Another program holds the port: a terminal program"), std::string::npos) << text;
  }
}

}  // namespace
