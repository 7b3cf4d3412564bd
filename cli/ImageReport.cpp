#include "cli/ImageReport.h"

#include <cerrno>
#include <cstring>

#include "cli/RomFileCheck.h"
#include "frontend/ExitCodes.h"
#include "frontend/RomFacts.h"
#include "resources/Strings.h"

int RunInspect(const LoaderCommandLine& command, CCliView::Streams io) {
  std::string problem = RomFileProblem(command.file);
  std::vector<std::uint8_t> bytes;
  if (problem.empty() && !ReadFileBytes(command.file, bytes)) {
    problem = Format(kStrCliPathReason, {command.file, std::strerror(errno)});
  }
  if (!problem.empty()) {
    io.err << Format(kStrCliMessage, {problem}) << '\n';
    return kExitRomRejected;
  }
  const RomFacts facts = ReadRomFacts(bytes, command.models);
  io.out << DescribeRomFacts(command.file, facts);
  const std::vector<std::string> rejections = RomRejections(facts);
  for (const std::string& line : rejections) io.err << Format(kStrCliMessage, {line}) << '\n';
  for (const std::string& line : RomWarnings(facts)) io.err << Format(kStrCliMessage, {line}) << '\n';
  return rejections.empty() ? kExitSuccess : kExitRomRejected;
}
