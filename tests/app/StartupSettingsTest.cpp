#include <gtest/gtest.h>

#include "TestRig.h"

using Values = std::map<std::pair<std::string, std::string>, std::string>;

TEST(StartupSettings, MissingValuesGetTheirDefaultsWrittenBack) {
  // Flow is neither read nor written at start-up; the device path is only read.
  CTestRig rig;
  rig.Start();
  EXPECT_EQ(rig.store.Values(), (Values{{{"Config", "Cpu0"}, "N"},
                                        {{"Config", "Passthrough"}, "N"},
                                        {{"Config", "Verify"}, "Y"},
                                        {{"Serial", "BaudRate"}, "19200"},
                                        {{"Serial", "DataBits"}, "8"},
                                        {{"Serial", "Device"}, "/dev/sim"},
                                        {{"Serial", "Parity"}, "none"},
                                        {{"Serial", "Port"}, "2"},
                                        {{"Serial", "StopBits"}, "1"}}));
  EXPECT_EQ(rig.app->options.verifyAfterFlash, 1);
  EXPECT_EQ(rig.app->options.allowCpu0, 0);
  EXPECT_EQ(rig.app->options.passthrough, 0);
}

TEST(StartupSettings, OptionsCompareWithYExactly) {
  CTestRig rig;
  rig.store.Write("Config", "Verify", "y");
  rig.store.Write("Config", "Cpu0", "Y");
  rig.store.Write("Config", "Passthrough", "Yes");
  rig.Start();
  EXPECT_EQ(rig.app->options.verifyAfterFlash, 0);
  EXPECT_EQ(rig.app->options.allowCpu0, 1);
  EXPECT_EQ(rig.app->options.passthrough, 0);
  EXPECT_EQ(rig.store.Read("Config", "Verify"), "y");
  // Each value that meant yes but reads as no is named once, with what it means.
  EXPECT_EQ(
      rig.app->SettingsWarnings(),
      (std::vector<std::string>{
          "The setting Verify in section Config is \"y\", which means off: only \"Y\" means on.",
          "The setting Passthrough in section Config is \"Yes\", which means off: only \"Y\" means on."}));
}

TEST(StartupSettings, TheLineIsOpenedWithTheStoredSettings) {
  // Integer values are read from the start of the text; parity goes by its first letter.
  CTestRig rig;
  rig.store.Write("Serial", "BaudRate", " 9600 baud");
  rig.store.Write("Serial", "DataBits", "7");
  rig.store.Write("Serial", "Parity", "mark");
  rig.Start();
  EXPECT_EQ(rig.line->HostLine().baud, 9600u);
  EXPECT_EQ(rig.line->HostLine().dataBits, 7);
  EXPECT_TRUE(rig.view.boxes.empty());
}

TEST(StartupSettings, ALineSettingTheDeviceRefusesIsNamedAndTheDeviceStaysOpen) {
  // DataBits 9: the "Port Open FAILED" box, then the transcript names the device and the setting.
  CTestRig rig;
  rig.store.Write("Serial", "DataBits", "9");
  rig.Start("", false);
  EXPECT_EQ(rig.view.boxes, (std::vector<std::string>{"Port Open FAILED"}));
  EXPECT_EQ(rig.frame->TranscriptText(),
            "\tThe serial device /dev/sim refused DataBits 9 (a serial line takes 5 to 8).\r\n");
  EXPECT_TRUE(rig.app->Port()->IsOpen());
}
