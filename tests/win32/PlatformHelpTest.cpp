#include <gtest/gtest.h>

#include "frontend/LoaderOptions.h"
#include "frontend/ModelTable.h"

namespace {

TEST(PlatformHelp, SlashQuestionMarkIsHelpAndTheHelpNamesTheRegistryKeyAndFolders) {
  // /? asks for help as --help does; the help names where the settings, the tables and the schema are.
  EXPECT_TRUE(ParseLoaderCommandLine({"tobrane-cli.exe", "/?"}).options.help);
  EXPECT_TRUE(ParseWindowCommandLine({"tobrane-loader.exe", "/?"}).options.help);
  const std::string help = LoaderHelpText();
  for (const char* part : {"HKEY_CURRENT_USER\\Software\\Ostrand\n", "%APPDATA%\\Tobrane PROM Loader\\",
                           "run-report.schema.json in the program's folder"}) {
    EXPECT_NE(help.find(part), std::string::npos) << part;
  }
  // The current folder, the user's own, then the program's.
  const std::vector<std::string> order = ModelTableSearchOrder();
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[0], "OEMModel.ini");
  EXPECT_NE(order[1].find("\\Tobrane PROM Loader\\OEMModel.ini"), std::string::npos) << order[1];
  EXPECT_NE(order[2].find("\\OEMModel.ini"), std::string::npos) << order[2];
}

}  // namespace
