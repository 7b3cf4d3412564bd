// The Plug-and-Play parse and its hex dump over any captured string: the
// input is the buffer's content, its length the captured length (0 to 256,
// as the assembly can store), in a buffer of the assembly's size.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "connection/PlugAndPlay.h"
#include "protocol/HexText.h"
#include "protocol/ReceiveState.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kCapacity = CReceiveState::kPnpCapacity;
  const std::size_t length = std::min(size, kCapacity);
  // Exactly the stored characters and the terminating zero, so a read past them is caught.
  auto pnp = std::make_unique<char[]>(length + 1);
  std::copy_n(data, length, pnp.get());
  pnp[length] = 0;
  (void)DescribePnpString(pnp.get(), static_cast<int>(length));
  (void)HexDump(data, size);
  if (size >= 2) (void)ChecksumPairValue(static_cast<char>(data[0]), static_cast<char>(data[1]));
  return 0;
}
