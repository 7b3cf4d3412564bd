#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "frontend/LoaderOptions.h"

namespace {

using Command = LoaderCommandLine::Command;

LoaderParseResult Parse(std::vector<std::string> words) {
  words.insert(words.begin(), "tobrane-cli");
  return ParseLoaderCommandLine(words);
}

TEST(LoaderOptions, FullProgramLineGivesEveryOverride) {
  // Every option of a program run reaches the parsed command line.
  auto r = Parse({"--device", "/dev/pts/7", "--submodule", "01 00 01", "--no-verify", "--allow-cpu0",
                  "--trace", "-", "program", "fw.rom"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.command, Command::Program);
  EXPECT_EQ(r.options.file, "fw.rom");
  EXPECT_EQ(r.options.device, "/dev/pts/7");
  EXPECT_EQ(r.options.submodule, "01 00 01");
  EXPECT_EQ(r.options.verify, false);
  EXPECT_TRUE(r.options.allowCpu0);
  EXPECT_EQ(r.options.trace, "-");
}

TEST(LoaderOptions, WithoutOptionsNothingIsOverridden) {
  // A bare command leaves the settings store in charge of every option.
  auto r = Parse({"connect"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.command, Command::Connect);
  EXPECT_EQ(r.options.device, "");
  EXPECT_FALSE(r.options.verify.has_value());
  EXPECT_FALSE(r.options.submodule.has_value());
  EXPECT_FALSE(r.options.allowCpu0);
}

TEST(LoaderOptions, UsageErrorsAreNamed) {
  // Each malformed command line is refused with a message saying what is wrong.
  EXPECT_NE(Parse({}).error.find("no command"), std::string::npos);
  EXPECT_NE(Parse({"flash"}).error.find("unknown command 'flash'"), std::string::npos);
  EXPECT_NE(Parse({"program"}).error.find("needs a ROM file"), std::string::npos);
  EXPECT_NE(Parse({"verify"}).error.find("needs a ROM file"), std::string::npos);
  EXPECT_NE(Parse({"connect", "x.rom"}).error.find("unexpected argument 'x.rom'"), std::string::npos);
  EXPECT_NE(Parse({"--bogus", "connect"}).error.find("bogus"), std::string::npos);
  EXPECT_NE(Parse({"--verify", "--no-verify", "program", "a"}).error.find("exclude"), std::string::npos);
  EXPECT_NE(Parse({"--submodule", "01", "connect"}).error.find("program and verify only"), std::string::npos);
  EXPECT_NE(Parse({"--device", "", "connect"}).error.find("--device"), std::string::npos);
  EXPECT_NE(Parse({"--trace", "", "connect"}).error.find("--trace needs a file"), std::string::npos);
}

TEST(LoaderOptions, OptionSpellingsTheFrontEndsHaveAlwaysTaken) {
  // Single-dash long names, name=value and --d all reach the same options; a switch takes no value,
  // a value option at the end lacks one, and every unknown name is listed.
  auto r =
      Parse({"-device", "/dev/a", "-verify", "--trace=-", "--d=/dev/b", "-submodule=01", "program", "f"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.device, "/dev/b");
  EXPECT_EQ(r.options.verify, true);
  EXPECT_EQ(r.options.trace, "-");
  EXPECT_EQ(r.options.submodule, "01");
  EXPECT_EQ(Parse({"--device", "--verify", "connect"}).options.device, "--verify");
  EXPECT_EQ(Parse({"--device=", "connect"}).error, "--device needs a path");
  EXPECT_EQ(Parse({"--verify=1", "connect"}).error, "Unexpected value after '--verify'.");
  EXPECT_EQ(Parse({"connect", "-d"}).error, "Missing value after '-d'.");
  EXPECT_EQ(Parse({"-dx", "--y=3", "connect"}).error, "Unknown options: dx, y.");
  EXPECT_EQ(Parse({"connect", "--", "--verify"}).error, "unexpected argument '--verify'");
}

TEST(LoaderOptions, WorkshopOptionsBelongToTheirCommands) {
  // --dry-run goes with program, --report with a run over the UPS; elsewhere a usage error. --models goes
  // with every command and the window.
  auto r = Parse({"--dry-run", "--report", "r.json", "program", "f.rom"});
  ASSERT_EQ(r.error, "");
  EXPECT_TRUE(r.options.dryRun);
  EXPECT_EQ(r.options.report, "r.json");
  EXPECT_EQ(Parse({"--models", "m.ini", "inspect", "f.rom"}).options.models, "m.ini");
  EXPECT_EQ(Parse({"--dry-run", "verify", "f.rom"}).error, "--dry-run applies to program only");
  EXPECT_EQ(Parse({"--report", "r.json", "ports"}).error, "--report applies to connect, program and verify");
  EXPECT_EQ(Parse({"--report", "", "connect"}).error, "--report needs a file");
  EXPECT_EQ(Parse({"--models", "m.ini", "connect"}).options.models, "m.ini");
  EXPECT_EQ(Parse({"--models=", "connect"}).error, "--models needs a file");
  EXPECT_EQ(ParseWindowCommandLine({"tobrane-loader", "--models", "m.ini"}).options.models, "m.ini");
}

TEST(LoaderOptions, SubmoduleRoutesOfOneToThreeHopsAreAccepted) {
  // Well-formed routes pass, in either case of hex digit.
  for (const char* route : {"0A", "00 01", "01 00 01", "0a 0b", "01-00-01"}) {
    EXPECT_EQ(Parse({"--submodule", route, "verify", "f.rom"}).error, "") << route;
  }
}

TEST(LoaderOptions, MalformedSubmoduleRoutesAreUsageErrors) {
  // Texts the route parser would reject, or would send with an unspecified byte, never reach the UPS.
  for (const char* route : {"0", "01 00 01 0", "01 0", "01 00 0", "0G", "x1", "01 00 01 02", ""}) {
    EXPECT_NE(Parse({"--submodule", route, "program", "f.rom"}).error, "") << route;
  }
}

TEST(LoaderOptions, HelpListsCommandsAndExitStatuses) {
  // --help is recognised, and its text names each command and exit status.
  EXPECT_TRUE(Parse({"--help", "connect"}).options.help);
  EXPECT_TRUE(Parse({"-h"}).options.help);
  const std::string help = LoaderHelpText();
  for (const char* word :
       {"connect", "program FILE", "verify FILE", "ports", "--device", "--submodule", "--no-verify",
        "--allow-cpu0", "\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  4 ", "\n  130 ",
        // where the settings, the model tables and the report schema live here
        "Tobrane PROM Loader.ini", "/tobrane-loader/, your own", "/share/tobrane-loader/OEMModel.ini, the",
        "/share/tobrane-loader/run-report.schema.json"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
  EXPECT_EQ(help.find("sections"), std::string::npos);
  EXPECT_NE(WindowHelpText().find("Files:\n  settings"), std::string::npos);
}

TEST(WindowOptions, TheWindowTakesTheRunOptionsAndOneFileButNoCommand) {
  // tobrane-loader shares --device and the verify options; --submodule and a second word are refused.
  auto r = ParseWindowCommandLine(
      {"tobrane-loader", "--device", "/dev/pts/3", "--no-verify", "--trace", "t.txt", "fw.rom"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.trace, "t.txt");
  EXPECT_EQ(r.options.command, Command::None);
  EXPECT_EQ(r.options.device, "/dev/pts/3");
  EXPECT_EQ(r.options.file, "fw.rom");
  EXPECT_EQ(r.options.verify, false);
  auto bare = ParseWindowCommandLine({"tobrane-loader"});
  EXPECT_EQ(bare.error, "");
  EXPECT_EQ(bare.options.file, "");
  EXPECT_FALSE(bare.options.verify.has_value());
  // Unquoted words: the first one, unless together they name a file.
  const auto two = ParseWindowCommandLine({"tobrane-loader", "a.rom", "b.rom"});
  EXPECT_EQ(two.error, "");
  EXPECT_EQ(two.options.file, "a.rom");
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::string pid = std::to_string(getpid());
  const std::filesystem::path spaced = dir / ("tobrane-opt " + pid + " image.rom");
  std::ofstream(spaced) << "x";
  const auto joined =
      ParseWindowCommandLine({"tobrane-loader", (dir / "tobrane-opt").string(), pid, "image.rom"});
  EXPECT_EQ(joined.options.file, spaced.string());
  std::filesystem::remove(spaced);
  EXPECT_NE(ParseWindowCommandLine({"tobrane-loader", "--submodule", "01", "a.rom"}).error.find("submodule"),
            std::string::npos);
  EXPECT_NE(ParseWindowCommandLine({"tobrane-loader", "--device", ""}).error.find("--device"),
            std::string::npos);
  EXPECT_TRUE(ParseWindowCommandLine({"tobrane-loader", "--help", "a.rom"}).options.help);
  EXPECT_NE(WindowHelpText().find("Usage: tobrane-loader [OPTIONS] [FILE]"), std::string::npos);
}

}  // namespace
