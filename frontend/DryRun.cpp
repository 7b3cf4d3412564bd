#include "frontend/DryRun.h"

#include "app/MainFrame.h"
#include "protocol/WireFormat.h"
#include "resources/Strings.h"

namespace {

constexpr std::uint32_t kBitsPerLineByte = 10;  // start bit, 8 data bits, stop bit

}  // namespace

std::string DryRunSummary(CMainFrame& frame) {
  const CRomImageState& rom = frame.Rom();
  const FlashSpace& space = frame.Space(rom.selectedSpace);
  const auto size = static_cast<std::uint32_t>(rom.romDataSize);
  const std::uint32_t block =
      std::min({size, static_cast<std::uint32_t>(kMaxTransferBlockBytes), space.spaceMaxBlock});
  const std::uint32_t blocks = block == 0 ? 0 : (size + block - 1) / block;
  // The framing of one program-block request, from the request builder itself.
  const std::size_t framing =
      frame.Link()
          .BuildTransferRequest(kFlashCommand, kProgramOperation, rom.moduleCode, space.spaceDescriptor,
                                rom.loadAddress, nullptr, 0, rom.selectedSpace)
          .size();
  const std::uint32_t baud = frame.Connection().lineSpeed;
  const std::uint64_t lineBytes = size + std::uint64_t{blocks} * framing;
  const std::uint64_t tenths = baud == 0 ? 0 : (lineBytes * kBitsPerLineByte * 10 + baud - 1) / baud;
  const std::uint32_t last = rom.loadAddress + (size - 1);
  return Format(kStrDryRunSummary, {blocks, block, rom.selectedSpace, space.spaceCpu, rom.loadAddress, last,
                                    tenths / 10, tenths % 10, baud});
}
