#include "connection/SubmoduleRoute.h"

#include "protocol/HexText.h"

namespace {

constexpr std::size_t kMinText = 2;
constexpr std::size_t kMaxText = 8;
constexpr std::size_t kGroupStride = 3;

}  // namespace

SubmoduleRoute ParseSubmoduleRoute(const std::string& text) {
  SubmoduleRoute route;
  if (text.size() < kMinText || text.size() > kMaxText) return route;
  // A group may start right at the end of the text; that counts as a bad group.
  for (std::size_t position = 0; position <= text.size(); position += kGroupStride) {
    const int high = position < text.size() ? HexDigitValue(text[position]) : -1;
    if (high < 0) return route;
    const int low = position + 1 < text.size() ? HexDigitValue(text[position + 1]) : -1;
    const auto value = static_cast<std::uint8_t>(16 * high + (low < 0 ? 0 : low));
    for (std::size_t b = position / kGroupStride; b < route.bytes.size(); ++b) route.bytes[b] = value;
    ++route.length;
  }
  route.valid = true;
  return route;
}
