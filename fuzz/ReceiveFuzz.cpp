// The receive assembly and the decoder over whatever the line delivers.
// The input is a script: a control byte below 0x40 sets the receive mode
// (the next byte is the mode, stored as the loader stores it, low 8 bits;
// bit 0 of the control byte asks for a reset); any other control byte
// hands the next 1 to 80 bytes to ReceiveBytes as one chunk. After every
// chunk the stored bytes are decoded into an output of exactly the
// capacity the callers pass, and a captured Plug-and-Play string is parsed.
// A frame trace is attached, so its view of the buffer is checked too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "connection/PlugAndPlay.h"
#include "protocol/FrameTraceWriter.h"
#include "protocol/ReceiveState.h"
#include "protocol/UpsLink.h"

namespace {

constexpr std::uint32_t kMaxChunk = 80;
constexpr std::uint8_t kSetModeBelow = 0x40;

void Check(bool holds) {
  if (!holds) std::abort();
}

void DecodeWhatArrived(const CReceiveState& rx, std::uint16_t capacity) {
  static const CUpsLink link;
  std::vector<std::uint8_t> output(capacity);
  std::uint16_t count = 0;
  std::uint8_t error = 0;
  std::uint8_t block = 0;
  const bool ok =
      link.DecodeFrames(rx.ReceiveBuffer(), rx.ReceiveLength(), output.data(), capacity, count, error, block);
  Check(count <= capacity);
  Check(ok == (error == kDecodeOk));
  Check(error <= kDecodeDoesNotFit);
  (void)link.ErrorName(error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CSystemClock clock;
  static std::ostream nowhere(nullptr);
  static CFrameTraceWriter trace(clock);
  trace.Open(nowhere);
  CReceiveState rx;
  rx.SetTrace(&trace);
  std::size_t pos = 0;
  while (pos < size) {
    const std::uint8_t control = data[pos++];
    if (control < kSetModeBelow) {
      if (pos >= size) break;
      rx.SetReceiveMode(data[pos++], (control & 1) != 0);
      continue;
    }
    const std::uint32_t want = control % kMaxChunk + 1;
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(want, size - pos));
    // A copy of exactly the chunk, so a read past it is caught.
    const std::vector<std::uint8_t> chunk(data + pos, data + pos + count);
    pos += count;
    rx.ReceiveBytes(chunk.data(), count);
    Check(rx.ReceiveLength() <= CReceiveState::kBufferSize);
    Check(rx.PnpLength() >= 0 && rx.PnpLength() <= CReceiveState::kPnpCapacity);
    DecodeWhatArrived(rx, 300);
    DecodeWhatArrived(rx, 128);
    if (rx.ReceiveMode() == kModeIdle) (void)DescribePnpString(rx.PnpBuffer(), rx.PnpLength());
  }
  return 0;
}
