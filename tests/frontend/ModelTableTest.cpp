#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "frontend/LoaderStartup.h"
#include "frontend/ModelTable.h"
#include "tests/support/TestRig.h"

namespace {

// A work directory made current, with XDG_CONFIG_HOME pointing into it.
struct TableRig {
  TableRig() {
    setenv("XDG_CONFIG_HOME", (dir.Path() + "/config").c_str(), 1);
    std::filesystem::create_directories(userFolder);
  }
  ~TableRig() { unsetenv("XDG_CONFIG_HOME"); }
  CWorkDir dir;
  std::string userFolder = dir.Path() + "/config/tobrane-loader";
};

TEST(ModelTable, TheCurrentFolderComesFirstThenTheUsersOwnThenTheInstalledOne) {
  // The search order, and the first file that exists wins.
  TableRig rig;
  const std::string user = rig.userFolder + "/OEMModel.ini";
  EXPECT_EQ(ModelTableSearchOrder(),
            (std::vector<std::string>{"OEMModel.ini", user, TOBRANE_SHARED_DATA_DIR "/OEMModel.ini"}));
  const ModelTableChoice none = ChooseModelTable(std::nullopt);
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.path, "OEMModel.ini");
  EXPECT_EQ(none.problem, "no model table found; searched: OEMModel.ini, " + user +
                              ", " TOBRANE_SHARED_DATA_DIR "/OEMModel.ini");
  rig.dir.Write("config/tobrane-loader/OEMModel.ini", "[0]\n1 = Placeholder\n");
  EXPECT_EQ(ChooseModelTable(std::nullopt).path, user);
  rig.dir.Write("OEMModel.ini", "[0]\n1 = Placeholder\n");
  const ModelTableChoice here = ChooseModelTable(std::nullopt);
  EXPECT_EQ(here.path, "OEMModel.ini");
  EXPECT_EQ(here.problem, "");
  EXPECT_EQ(ChooseModelTable("given.ini").path, "given.ini");
}

TEST(ModelTable, AnOddOrUnreadableTableIsNamed) {
  // A missing file, a folder and a file without entries each give a message that names it.
  TableRig rig;
  const ModelTableChoice missing = ChooseModelTable("nope.ini");
  EXPECT_FALSE(missing.readable);
  EXPECT_EQ(missing.problem, "the model table nope.ini cannot be read");
  std::filesystem::create_directories(rig.dir.Path() + "/OEMModel.ini");
  EXPECT_EQ(ChooseModelTable(std::nullopt).problem, "the model table OEMModel.ini is a folder, not a file");
  rig.dir.Write("empty.ini", "; nothing\n[1]\n5 = Five\n");
  const ModelTableChoice empty = ChooseModelTable("empty.ini");
  EXPECT_TRUE(empty.readable);
  EXPECT_NE(empty.problem.find("empty.ini has no entry in section [0]"), std::string::npos);
}

TEST(ModelTable, AWindowNamesAnOddTableAfterTheSettingsWarnings) {
  // Both in the one box a window shows before it opens the port, each a sentence.
  CTestRig rig;
  rig.store.Write("Config", "Verify", "yes");
  rig.Start("", false);
  LoaderCommandLine options;
  EXPECT_EQ(StartupWarnings(*rig.app, options).size(), 1u);
  options.models = "nope.ini";
  EXPECT_EQ(StartupWarnings(*rig.app, options),
            (std::vector<std::string>{
                "The setting Verify in section Config is \"yes\", which means off: only \"Y\" means on.",
                "The model table nope.ini cannot be read."}));
}

}  // namespace
