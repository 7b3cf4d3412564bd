#include "resources/Strings.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kTexts[] = {
#define STRING(id, text) text,
#include "resources/StringTable.def"
#undef STRING
};

static_assert(sizeof(kTexts) / sizeof(kTexts[0]) == kStringCount);

struct Conversion {
  std::string directive;  // "%", flags, width, precision, conversion letter
  char letter = 0;
};

// Reads one conversion starting after '%'; false when it is malformed.
bool ReadConversion(const char*& p, Conversion& out) {
  out.directive = "%";
  while (*p && std::strchr("-+ #0", *p)) out.directive += *p++;
  while (*p >= '0' && *p <= '9') out.directive += *p++;
  if (*p == '.') {
    out.directive += *p++;
    while (*p >= '0' && *p <= '9') out.directive += *p++;
  }
  if (!*p || !std::strchr("diuxXocs", *p)) return false;
  out.letter = *p++;
  return true;
}

// Only %s takes a text; every other conversion takes a number or a character.
bool Accepts(char letter, FormatArg::Kind kind) {
  return (letter == 's') == (kind == FormatArg::String);
}

std::string Render(const Conversion& c, const FormatArg& arg) {
  char buffer[256];
  std::string directive = c.directive;
  if (c.letter == 's') {
    std::string text = arg.AsString();
    if (directive == "%s") return text;
    directive += 's';
    std::snprintf(buffer, sizeof buffer, directive.c_str(), text.c_str());
  } else if (c.letter == 'c') {
    directive += 'c';
    std::snprintf(buffer, sizeof buffer, directive.c_str(),
                  static_cast<int>(static_cast<unsigned char>(arg.AsUnsigned())));
  } else {
    directive += "ll";
    directive += c.letter;
    if (c.letter == 'd' || c.letter == 'i') {
      std::snprintf(buffer, sizeof buffer, directive.c_str(), arg.AsSigned());
    } else {
      std::snprintf(buffer, sizeof buffer, directive.c_str(), arg.AsUnsigned());
    }
  }
  return buffer;
}

}  // namespace

const char* Text(StringId id) {
  if (id < 0 || id >= kStringCount) return "";
  return kTexts[id];
}

std::string FormatText(const char* format, std::initializer_list<FormatArg> args) {
  std::string out;
  auto next = args.begin();
  for (const char* p = format; *p;) {
    if (*p != '%') {
      out += *p++;
      continue;
    }
    ++p;
    if (*p == '%') {
      out += *p++;
      continue;
    }
    Conversion c;
    if (!ReadConversion(p, c) || next == args.end() || !Accepts(c.letter, next->kind()))
      return std::string(format) + " [format error]";
    out += Render(c, *next++);
  }
  if (next != args.end()) return std::string(format) + " [format error]";
  return out;
}
