#include "app/frontend/LoaderOptions.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cctype>

#include "resources/Strings.h"

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
    {"ports", LoaderCommandLine::Command::Ports, false},
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
void DeclareRunOptions(QCommandLineParser& parser) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addOption({{"d", "device"}, Text(kStrOptionDevice), "PATH"});
  parser.addOption({"verify", Text(kStrOptionVerify)});
  parser.addOption({"no-verify", Text(kStrOptionNoVerify)});
  parser.addOption({"allow-cpu0", Text(kStrOptionAllowCpu0)});
  parser.addOption({"trace", Text(kStrOptionTrace), "FILE"});
  parser.addOption({{"h", "help"}, Text(kStrOptionHelp)});
  parser.addOption({{"V", "version"}, Text(kStrOptionVersion)});
}

std::string ApplyCommand(const QStringList& positional, LoaderCommandLine& out) {
  if (positional.isEmpty()) return Text(kStrUsageNoCommand);
  const std::string word = positional[0].toStdString();
  for (const CommandName& c : kCommands) {
    if (word != c.name) continue;
    out.command = c.command;
    const qsizetype wanted = c.needsFile ? 2 : 1;
    if (positional.size() < wanted) return Format(kStrUsageNeedsRomFile, {word});
    if (positional.size() > wanted)
      return Format(kStrUsageUnexpectedArgument, {positional[wanted].toStdString()});
    if (c.needsFile) out.file = positional[1].toStdString();
    return {};
  }
  return Format(kStrUsageUnknownCommand, {word});
}

std::string ApplyRunOptions(const QCommandLineParser& parser, LoaderCommandLine& out) {
  if (parser.isSet("verify") && parser.isSet("no-verify")) return Text(kStrUsageVerifyExclusive);
  if (parser.isSet("verify")) out.verify = true;
  if (parser.isSet("no-verify")) out.verify = false;
  out.allowCpu0 = parser.isSet("allow-cpu0");
  if (parser.isSet("device")) {
    out.device = parser.value("device").toStdString();
    if (out.device.empty()) return Text(kStrUsageDeviceNeedsPath);
  }
  if (parser.isSet("trace")) {
    out.trace = parser.value("trace").toStdString();
    if (out.trace.empty()) return Text(kStrUsageTraceNeedsFile);
  }
  return {};
}

std::string ApplySubmodule(const QCommandLineParser& parser, LoaderCommandLine& out) {
  if (parser.isSet("submodule")) {
    out.submodule = parser.value("submodule").toStdString();
    if (!IsWellFormedRoute(*out.submodule)) return Format(kStrUsageBadSubmodule, {*out.submodule});
  }
  return {};
}

// Parses with the given declarations; false when the line is unusable or
// asks only for help or the version.
bool ParseRunLine(QCommandLineParser& parser, const std::vector<std::string>& arguments,
                  LoaderParseResult& result) {
  QStringList list;
  for (const std::string& a : arguments) list << QString::fromStdString(a);
  if (!parser.parse(list)) {
    result.error = parser.errorText().toStdString();
    return false;
  }
  result.options.help = parser.isSet("help");
  result.options.version = parser.isSet("version");
  if (result.options.help || result.options.version) return false;
  result.error = ApplyRunOptions(parser, result.options);
  return result.error.empty();
}

}  // namespace

LoaderParseResult ParseLoaderCommandLine(const std::vector<std::string>& arguments) {
  QCommandLineParser parser;
  DeclareRunOptions(parser);
  parser.addOption({"submodule", Text(kStrOptionSubmodule), "HH HH HH"});
  LoaderParseResult result;
  if (!ParseRunLine(parser, arguments, result)) return result;
  result.error = ApplySubmodule(parser, result.options);
  if (result.error.empty()) result.error = ApplyCommand(parser.positionalArguments(), result.options);
  const bool takesFile = result.options.command == LoaderCommandLine::Command::Program ||
                         result.options.command == LoaderCommandLine::Command::Verify;
  if (result.error.empty() && result.options.submodule && !takesFile) {
    result.error = Text(kStrUsageSubmoduleWithoutFile);
  }
  return result;
}

LoaderParseResult ParseWindowCommandLine(const std::vector<std::string>& arguments) {
  QCommandLineParser parser;
  DeclareRunOptions(parser);
  LoaderParseResult result;
  if (!ParseRunLine(parser, arguments, result)) return result;
  const QStringList positional = parser.positionalArguments();
  if (positional.size() > 1) {
    result.error = Format(kStrUsageUnexpectedArgument, {positional[1].toStdString()});
  } else if (!positional.isEmpty()) {
    result.options.file = positional[0].toStdString();
  }
  return result;
}

std::string LoaderHelpText() {
  return Text(kStrCliHelp);
}

std::string WindowHelpText() {
  return Text(kStrWindowHelp);
}
