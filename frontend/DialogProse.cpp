#include "frontend/DialogProse.h"

#include <sstream>
#include <vector>

namespace {

// "  -d, --device PATH        serial device ..." as "-d, --device PATH: serial device ...".
std::string OptionLine(const std::string& body) {
  const std::size_t gap = body.find("  ");
  if (gap == std::string::npos) return body;
  const std::size_t text = body.find_first_not_of(' ', gap);
  return body.substr(0, gap) + ": " + body.substr(text);
}

}  // namespace

std::string DialogProse(const std::string& consoleText) {
  std::vector<std::string> lines;
  bool open = false;  // the last line takes the next one of its paragraph or option
  std::istringstream in(consoleText);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t indent = line.find_first_not_of(' ');
    if (indent == std::string::npos) {
      if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
      open = false;
    } else if (indent > 0 && line[indent] == '-') {
      lines.push_back(OptionLine(line.substr(indent)));
      open = true;
    } else if (open) {
      lines.back() += ' ' + line.substr(indent);
    } else {
      lines.push_back(line.substr(indent));
      open = true;
    }
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  std::string out;
  for (const std::string& l : lines) out += (out.empty() ? "" : "\n") + l;
  return out;
}
