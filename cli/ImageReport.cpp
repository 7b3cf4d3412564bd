#include "cli/ImageReport.h"

#include <cerrno>
#include <cstring>

#include "cli/RomFileCheck.h"
#include "frontend/ExitCodes.h"
#include "frontend/RomFacts.h"
#include "ini/ModelLookup.h"
#include "resources/Strings.h"

namespace {

// The whole file, or why it cannot be read.
std::string ReadImage(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::string problem = RomFileProblem(path);
  if (problem.empty() && !ReadFileBytes(path, bytes))
    problem = Format(kStrCliPathReason, {path, std::strerror(errno)});
  return problem;
}

void WriteLines(std::ostream& err, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) err << Format(kStrCliMessage, {line}) << '\n';
}

}  // namespace

int RunInspect(const LoaderCommandLine& command, CCliView::Streams io) {
  std::vector<std::uint8_t> bytes;
  if (const std::string problem = ReadImage(command.file, bytes); !problem.empty()) {
    WriteLines(io.err, {problem});
    return kExitRomRejected;
  }
  const RomFacts facts = ReadRomFacts(bytes, command.models.value_or(Text(kStrModelFileName)));
  io.out << DescribeRomFacts(command.file, facts);
  const std::vector<std::string> rejections = RomRejections(facts);
  WriteLines(io.err, rejections);
  WriteLines(io.err, RomWarnings(facts));
  return rejections.empty() ? kExitSuccess : kExitRomRejected;
}

bool RefuseImage(const std::string& path, const std::string& models, std::ostream& err) {
  std::vector<std::uint8_t> bytes;
  if (const std::string problem = ReadImage(path, bytes); !problem.empty()) {
    WriteLines(err, {problem});
    return true;
  }
  const std::vector<std::string> rejections = RomRejections(ReadRomFacts(bytes, models));
  WriteLines(err, rejections);
  return !rejections.empty();
}
