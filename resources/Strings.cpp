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

// snprintf into a string of the size the conversion needs: a text argument
// may be longer than any fixed buffer (a path, a help paragraph).
template <typename Value>
std::string Printed(const std::string& directive, Value value) {
  const int size = std::snprintf(nullptr, 0, directive.c_str(), value);
  if (size <= 0) return {};
  std::string out(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(out.data(), out.size(), directive.c_str(), value);
  out.resize(static_cast<std::size_t>(size));
  return out;
}

std::string Render(const Conversion& c, const FormatArg& arg) {
  std::string directive = c.directive;
  if (c.letter == 's') {
    if (directive == "%") return arg.AsString();
    return Printed(directive + 's', arg.AsString());
  }
  if (c.letter == 'c')
    return Printed(directive + 'c', static_cast<int>(static_cast<unsigned char>(arg.AsUnsigned())));
  directive += "ll";
  directive += c.letter;
  if (c.letter == 'd' || c.letter == 'i') return Printed(directive, arg.AsSigned());
  return Printed(directive, arg.AsUnsigned());
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
