#include "flash/BlockTransfer.h"

namespace {

int ProgramAllowance(int routeLength) {
  if (routeLength <= 1) return 200;
  if (routeLength == 2) return 800;
  return 1000;
}

}  // namespace

bool ProgramImage(CUpsLink& link, ILinkHost& line, ICommandHost& user, const TransferImage& image) {
  const BlockRules rules{
      .operation = kProgramOperation,
      .verifying = false,
      .addressLine = kStrProgrammingAddress,
      .allowancePolls = ProgramAllowance,
      .nackRetries = 3,
      .nackFailedBox = kStrMaxNackRetries,
      .terminatedBox = kStrUpsTerminatedFlash,
      .unknownStatusBox = std::nullopt,
      .payload =
          [&image](std::uint32_t offset, std::uint32_t block) {
            return BlockPayload{image.bytes + offset, block};
          },
      .echoPasses = nullptr,
  };
  return RunBlockTransfer(link, line, user, image, rules);
}
