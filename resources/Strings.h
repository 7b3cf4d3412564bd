#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

enum StringId : int {
#define STRING(id, text) id,
#include "resources/StringTable.def"
#undef STRING
  kStringCount
};

// The text of a string-table entry, exactly as shown.
const char* Text(StringId id);

// One argument of a printf-style format. Text arguments are data: a "%"
// inside them comes out literally.
class FormatArg {
 public:
  enum Kind { Signed, Unsigned, Character, String };

  template <typename T,
            std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, char> && !std::is_same_v<T, bool>,
                             int> = 0>
  FormatArg(T value)
      : kind_(std::is_signed_v<T> ? Signed : Unsigned),
        signed_(static_cast<long long>(value)),
        unsigned_(static_cast<unsigned long long>(value)) {}
  FormatArg(char value)
      : kind_(Character),
        signed_(static_cast<unsigned char>(value)),
        unsigned_(static_cast<unsigned char>(value)) {}
  FormatArg(const std::string& value) : kind_(String), string_(value.c_str()) {}
  FormatArg(const char* value) : kind_(String), string_(value ? value : "") {}

  Kind kind() const { return kind_; }
  long long AsSigned() const { return signed_; }
  unsigned long long AsUnsigned() const { return unsigned_; }
  const char* AsString() const { return string_; }

 private:
  Kind kind_;
  long long signed_ = 0;
  unsigned long long unsigned_ = 0;
  const char* string_ = "";
};

// printf-style formatting that checks every conversion against its argument
// (d i u x X o c s, with flags, width and precision; %% for a percent sign).
// A mismatch or a wrong count gives the format followed by " [format error]"
// instead of undefined behaviour.
std::string FormatText(const char* format, std::initializer_list<FormatArg> args);

inline std::string Format(StringId id, std::initializer_list<FormatArg> args = {}) {
  return FormatText(Text(id), args);
}
