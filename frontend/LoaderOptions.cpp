#include "frontend/LoaderOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "frontend/NetworkErrorText.h"
#include "frontend/PlatformHelp.h"
#include "resources/Strings.h"
#include "seams/Utf8Path.h"

namespace {

struct CommandName {
  const char* name;
  LoaderCommandLine::Command command;
  bool needsFile;
};

constexpr CommandName kCommands[] = {
    {"connect", LoaderCommandLine::Command::Connect, false},
    {"program", LoaderCommandLine::Command::Program, true},
    {"verify", LoaderCommandLine::Command::Verify, true},
    {"inspect", LoaderCommandLine::Command::Inspect, true},
    {"ports", LoaderCommandLine::Command::Ports, false},
};

// What the parser stores before the values are checked.
struct ParsedWords {
  std::string device;
  std::string trace;
  std::string submodule;
  std::string models;
  std::string report;
  std::vector<std::string> positional;
};

bool IsHex(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Two hexadecimal digits per hop, one to three hops, one separator between
// them. Stricter than the dialog's own check on purpose: a typo in a route
// must not reach a UPS as some other module's address.
bool IsWellFormedRoute(const std::string& text) {
  if (text.size() != 2 && text.size() != 5 && text.size() != 8) return false;
  for (std::size_t p = 0; p < text.size(); p += 3) {
    if (!IsHex(text[p]) || !IsHex(text[p + 1])) return false;
  }
  return true;
}

// The options both front ends take; the command-line front end adds --submodule.
// The help texts are the string table's own, so the parser prints none.
void DeclareRunOptions(CLI::App& app, ParsedWords& words) {
  app.set_help_flag();
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_option("-d,--device", words.device, Text(kStrOptionDevice))->type_name("PATH");
  app.add_flag("--verify")->description(Text(kStrOptionVerify));
  app.add_flag("--no-verify")->description(Text(kStrOptionNoVerify));
  app.add_flag("--allow-cpu0")->description(Text(kStrOptionAllowCpu0));
  app.add_option("--trace", words.trace, Text(kStrOptionTrace))->type_name("FILE");
  app.add_option("--models", words.models, Text(kStrOptionModels))->type_name("PATH");
  app.add_flag("-h,--help")->description(Text(kStrOptionHelp));
  app.add_flag("-V,--version")->description(Text(kStrOptionVersion));
  app.add_option("positional", words.positional);
}

bool IsSet(const CLI::App& app, const char* name) {
  return app.count(name) > 0;
}

std::string UnknownOptionsError(const std::vector<std::string>& names) {
  if (names.size() == 1) return Format(kStrUsageUnknownOption, {names[0]});
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return Format(kStrUsageUnknownOptions, {list});
}

// Brings the words into the one form the parser reads: a single-dash word is
// a long option (-device is --device, -dx is the unknown option dx),
// "--name=value" is two words, and a switch given a value is refused. Unknown
// names are collected and refused together. Words after "--" are positional.
std::string NormaliseWords(CLI::App& app, const std::vector<std::string>& arguments,
                           std::vector<std::string>& out) {
  std::vector<std::string> unknown;
  std::string valueError;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "--") {
      out.insert(out.end(), arguments.begin() + static_cast<long>(i), arguments.end());
      break;
    }
    if (IsPlatformHelpWord(word)) {
      out.push_back("--help");
      continue;
    }
    if (word.size() < 2 || word[0] != '-') {
      out.push_back(word);
      continue;
    }
    const std::string body = word.substr(word[1] == '-' ? 2 : 1);
    const std::size_t assign = body.find('=');
    const std::string name = body.substr(0, assign);
    const std::string spelled = (name.size() == 1 ? "-" : "--") + name;
    const CLI::Option* option = name.empty() ? nullptr : app.get_option_no_throw(spelled);
    if (option == nullptr || option->get_positional()) {
      unknown.push_back(name);
    } else if (option->get_expected_max() == 0) {
      if (assign != std::string::npos)
        valueError = Format(kStrUsageUnexpectedValue, {word.substr(0, word.find('='))});
      out.push_back(spelled);
    } else if (assign != std::string::npos) {
      out.insert(out.end(), {spelled, body.substr(assign + 1)});
    } else if (i + 1 == arguments.size()) {
      valueError = Format(kStrUsageMissingValue, {word});
    } else {
      out.insert(out.end(), {spelled, arguments[++i]});
    }
  }
  if (!valueError.empty()) return valueError;
  return unknown.empty() ? std::string() : UnknownOptionsError(unknown);
}

std::string ApplyCommand(const std::vector<std::string>& positional, LoaderCommandLine& out) {
  if (positional.empty()) return Text(kStrUsageNoCommand);
  const std::string& word = positional[0];
  for (const CommandName& c : kCommands) {
    if (word != c.name) continue;
    out.command = c.command;
    const std::size_t wanted = c.needsFile ? 2 : 1;
    if (positional.size() < wanted) return Format(kStrUsageNeedsRomFile, {word});
    if (positional.size() > wanted) return Format(kStrUsageUnexpectedArgument, {positional[wanted]});
    if (c.needsFile) out.file = positional[1];
    return {};
  }
  return Format(kStrUsageUnknownCommand, {word});
}

std::string ApplyRunOptions(const CLI::App& app, const ParsedWords& words, LoaderCommandLine& out) {
  if (IsSet(app, "--verify") && IsSet(app, "--no-verify")) return Text(kStrUsageVerifyExclusive);
  if (IsSet(app, "--verify")) out.verify = true;
  if (IsSet(app, "--no-verify")) out.verify = false;
  out.allowCpu0 = IsSet(app, "--allow-cpu0");
  if (IsSet(app, "--device")) {
    out.device = words.device;
    if (out.device.empty()) return Text(kStrUsageDeviceNeedsPath);
    if (std::string problem = DeviceNameProblem(out.device); !problem.empty()) return problem;
  }
  if (IsSet(app, "--trace")) {
    out.trace = words.trace;
    if (out.trace.empty()) return Text(kStrUsageTraceNeedsFile);
  }
  if (IsSet(app, "--models")) {
    out.models = words.models;
    if (out.models->empty()) return Text(kStrUsageModelsNeedsFile);
  }
  return {};
}

std::string ApplySubmodule(const CLI::App& app, const ParsedWords& words, LoaderCommandLine& out) {
  if (IsSet(app, "--submodule")) {
    out.submodule = words.submodule;
    if (!IsWellFormedRoute(*out.submodule)) return Format(kStrUsageBadSubmodule, {*out.submodule});
  }
  return {};
}

// The options that apply to some commands only.
std::string CheckCommandOptions(const CLI::App& app, const LoaderCommandLine& options) {
  using Command = LoaderCommandLine::Command;
  const bool takesRoute = options.command == Command::Program || options.command == Command::Verify;
  if (options.submodule && !takesRoute) return Text(kStrUsageSubmoduleWithoutFile);
  if (options.dryRun && options.command != Command::Program) return Text(kStrUsageDryRunWithoutProgram);
  const bool runsUps = takesRoute || options.command == Command::Connect;
  if (IsSet(app, "--report") && !runsUps) return Text(kStrUsageReportWithoutRun);
  if (IsSet(app, "--report") && options.report.empty()) return Text(kStrUsageReportNeedsFile);
  return {};
}

// Parses with the given declarations; false when the line is unusable or
// asks only for help or the version.
bool ParseRunLine(CLI::App& app, const ParsedWords& words, const std::vector<std::string>& arguments,
                  LoaderParseResult& result) {
  std::vector<std::string> normalised;
  result.error = NormaliseWords(app, arguments, normalised);
  if (!result.error.empty()) return false;
  std::reverse(normalised.begin(), normalised.end());  // the parser takes its words last first
  try {
    app.parse(normalised);
  } catch (const CLI::ParseError& e) {
    result.error = e.what();
    return false;
  }
  result.options.help = IsSet(app, "--help");
  result.options.version = IsSet(app, "--version");
  if (result.options.help || result.options.version) return false;
  result.error = ApplyRunOptions(app, words, result.options);
  return result.error.empty();
}

}  // namespace

LoaderParseResult ParseLoaderCommandLine(const std::vector<std::string>& arguments) {
  CLI::App app;
  ParsedWords words;
  DeclareRunOptions(app, words);
  app.add_option("--submodule", words.submodule, Text(kStrOptionSubmodule))->type_name("HH HH HH");
  app.add_option("--report", words.report, Text(kStrOptionReport))->type_name("FILE");
  app.add_flag("--dry-run")->description(Text(kStrOptionDryRun));
  LoaderParseResult result;
  if (!ParseRunLine(app, words, arguments, result)) return result;
  result.error = ApplySubmodule(app, words, result.options);
  result.options.report = words.report;
  result.options.dryRun = IsSet(app, "--dry-run");
  if (result.error.empty()) result.error = ApplyCommand(words.positional, result.options);
  if (result.error.empty()) result.error = CheckCommandOptions(app, result.options);
  return result;
}

namespace {

// Unquoted words: a path with blanks when together they name a file; else
// the first word, which the window then says it cannot open.
std::string WindowFileWord(const std::vector<std::string>& words) {
  std::string joined = words.front();
  for (std::size_t i = 1; i < words.size(); ++i) joined += " " + words[i];
  std::error_code error;
  return std::filesystem::is_regular_file(Utf8Path(joined), error) ? joined : words.front();
}

}  // namespace

LoaderParseResult ParseWindowCommandLine(const std::vector<std::string>& arguments) {
  CLI::App app;
  ParsedWords words;
  DeclareRunOptions(app, words);
  LoaderParseResult result;
  if (!ParseRunLine(app, words, arguments, result)) return result;
  if (!words.positional.empty()) result.options.file = WindowFileWord(words.positional);
  return result;
}

std::string LoaderHelpText() {
  return Format(kStrCliHelp, {FilesHelpText()});
}

std::string WindowHelpText() {
  return Format(kStrWindowHelp, {FilesHelpText()});
}
