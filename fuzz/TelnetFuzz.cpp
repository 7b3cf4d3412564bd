// The receive side of an RFC 2217 connection over any server bytes: the
// telnet receiver cut into reads the input chooses, the option answers and
// the modem-state parse of every event. What it gives must not depend on
// the cuts, and line data escaped and fed back must come out unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "serial/TelnetCodec.h"

namespace {

struct Result {
  std::vector<std::uint8_t> data;
  std::vector<telnet::Event> events;
};

Result Feed(const std::uint8_t* bytes, std::size_t size, std::size_t cut) {
  telnet::CReceiver receiver;
  telnet::COptions options;
  Result result;
  for (std::size_t at = 0; at < size; at += cut) {
    const std::size_t length = size - at < cut ? size - at : cut;
    receiver.Feed(bytes + at, length, result.data, result.events);
  }
  for (const telnet::Event& event : result.events) {
    (void)options.Answer(event);
    if (event.kind == telnet::Event::ComPort && !event.value.empty())
      (void)telnet::ParseModemState(event.value[0]);
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t cut = 1 + data[0] % 16;
  const Result whole = Feed(data + 1, size - 1, size);
  const Result pieces = Feed(data + 1, size - 1, cut);
  if (whole.data != pieces.data || whole.events.size() != pieces.events.size()) std::abort();
  if (whole.data.size() > size) std::abort();
  std::vector<std::uint8_t> escaped;
  telnet::AppendEscaped(escaped, whole.data.data(), whole.data.size());
  if (Feed(escaped.data(), escaped.size(), cut).data != whole.data) std::abort();
  return 0;
}
