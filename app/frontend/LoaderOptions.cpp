#include "app/frontend/LoaderOptions.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cctype>

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
  parser.addOption({{"d", "device"}, "Serial device for this run instead of the configured port.", "PATH"});
  parser.addOption({"verify", "Verify after programming (this run only)."});
  parser.addOption({"no-verify", "Do not verify after programming (this run only)."});
  parser.addOption({"allow-cpu0", "Let an image for module 0 go into any CPU's space (this run only)."});
  parser.addOption({{"h", "help"}, "Show this help."});
  parser.addOption({{"V", "version"}, "Show the version."});
}

std::string ApplyCommand(const QStringList& positional, LoaderCommandLine& out) {
  if (positional.isEmpty()) return "no command given (connect, program, verify or ports)";
  const std::string word = positional[0].toStdString();
  for (const CommandName& c : kCommands) {
    if (word != c.name) continue;
    out.command = c.command;
    const qsizetype wanted = c.needsFile ? 2 : 1;
    if (positional.size() < wanted) return word + " needs a ROM file";
    if (positional.size() > wanted) return "unexpected argument '" + positional[wanted].toStdString() + "'";
    if (c.needsFile) out.file = positional[1].toStdString();
    return {};
  }
  return "unknown command '" + word + "'";
}

std::string ApplyRunOptions(const QCommandLineParser& parser, LoaderCommandLine& out) {
  if (parser.isSet("verify") && parser.isSet("no-verify"))
    return "--verify and --no-verify exclude each other";
  if (parser.isSet("verify")) out.verify = true;
  if (parser.isSet("no-verify")) out.verify = false;
  out.allowCpu0 = parser.isSet("allow-cpu0");
  if (parser.isSet("device")) {
    out.device = parser.value("device").toStdString();
    if (out.device.empty()) return "--device needs a path";
  }
  return {};
}

std::string ApplySubmodule(const QCommandLineParser& parser, LoaderCommandLine& out) {
  if (parser.isSet("submodule")) {
    out.submodule = parser.value("submodule").toStdString();
    if (!IsWellFormedRoute(*out.submodule)) {
      return "--submodule \"" + *out.submodule +
             "\" is not a route of one to three hex bytes, e.g. \"01 00 01\"";
    }
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
  parser.addOption({"submodule", "Route to a module behind the UPS, e.g. \"01 00 01\".", "HH HH HH"});
  LoaderParseResult result;
  if (!ParseRunLine(parser, arguments, result)) return result;
  result.error = ApplySubmodule(parser, result.options);
  if (result.error.empty()) result.error = ApplyCommand(parser.positionalArguments(), result.options);
  const bool takesFile = result.options.command == LoaderCommandLine::Command::Program ||
                         result.options.command == LoaderCommandLine::Command::Verify;
  if (result.error.empty() && result.options.submodule && !takesFile) {
    result.error = "--submodule applies to program and verify only";
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
    result.error = "unexpected argument '" + positional[1].toStdString() + "'";
  } else if (!positional.isEmpty()) {
    result.options.file = positional[0].toStdString();
  }
  return result;
}

std::string LoaderHelpText() {
  return R"(Usage: tobrane-cli [OPTIONS] COMMAND [FILE]

Commands:
  connect        Connect to UPS
  program FILE   Connect; then Select SubModule when --submodule is given
                 (it opens FILE), or else open FILE; then Program UPS
  verify FILE    the same, ending with Verify Program instead of Program UPS
  ports          list the serial devices present and the COM numbers that
                 map to them

Options:
  -d, --device PATH        serial device for this run instead of the
                           configured port (not stored)
  --submodule "HH HH HH"   route to a module behind the UPS: one to three
                           hex bytes, e.g. "01 00 01" or "00 01"
  --verify, --no-verify    verify after programming, or not (this run only)
  --allow-cpu0             an image for module 0 may go into any CPU's space
                           (this run only)
  -h, --help               show this help
  -V, --version            show the version

The steps run in order and stop at the first that fails. Everything not
given here comes from the settings ("Serial" and "Config" sections; a
"Serial"/"Device" path stands for the COM number). OEMModel.ini is read from
the current directory.

stdout carries the transcript; stderr every message box as "tobrane: TEXT",
the status lines and, on a terminal, the progress bar.

Exit status:
  0    success: connected, and the image programmed (and verified when
       verify is on) or verified
  1    a UPS operation failed (no answer, no flash capability, transfer or
       verification failed)
  2    usage error
  3    the serial device cannot be opened
  4    the ROM file cannot be read or was rejected for this UPS
  130  interrupted (SIGINT); the end-flash request was sent, the port closed
)";
}

std::string WindowHelpText() {
  return R"(Usage: tobrane-loader [OPTIONS] [FILE]

Opens the Tobrane PROM Loader window. With FILE, the image is loaded and
Program UPS runs once the start-up notice is closed (without a Connect it
stops at once with "Aborted flash operation").

Options:
  -d, --device PATH        serial device for this run instead of the
                           configured port (not stored)
  --verify, --no-verify    verify after programming, or not (this run only)
  --allow-cpu0             an image for module 0 may go into any CPU's space
                           (this run only)
  -h, --help               show this help
  -V, --version            show the version

Everything not given here comes from the settings ("Serial" and "Config"
sections, changed with File > Configuration; a "Serial"/"Device" path stands
for the COM number). OEMModel.ini is read from the current directory.

Exit status: 0 when the window was closed, 2 for a usage error.
)";
}
