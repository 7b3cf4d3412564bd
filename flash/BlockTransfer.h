#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "protocol/UpsLink.h"
#include "resources/Strings.h"
#include "rom/RomImageState.h"
#include "seams/CommandHost.h"

// An image to send or read back, block by block.
struct TransferImage {
  const std::uint8_t* bytes = nullptr;
  std::uint32_t length = 0;
  std::uint8_t module = 0;
  std::uint32_t loadAddress = 0;
  int spaceIndex = 0;
};

// The open image's ROM data, for its flash space.
inline TransferImage ImageOf(const CRomImageState& rom, const std::vector<std::uint8_t>& data) {
  return {data.data(), static_cast<std::uint32_t>(data.size()), rom.moduleCode, rom.loadAddress,
          rom.selectedSpace};
}

// What a block request carries after its address.
struct BlockPayload {
  const std::uint8_t* bytes = nullptr;
  std::uint32_t count = 0;
};

// What programming and read-back each do their own way; RunBlockTransfer
// does the rest: build, send, wait, retry a time-out, decode, check the block.
struct BlockRules {
  // The request's letter, echoed by a good reply; an empty reply counts as it.
  std::uint8_t operation = 0;
  bool verifying = false;
  // The transcript's last line while a block is under way.
  StringId addressLine{};
  int (*allowancePolls)(int routeLength) = nullptr;
  // NACKs taken before the transfer fails with nackFailedBox.
  int nackRetries = 0;
  StringId nackFailedBox{};
  // 'X': the UPS ended the operation before the image was through.
  StringId terminatedBox{};
  // A status none of the above. Programming counts it as an acknowledgement,
  // as the UPS's echo may vary and the read-back checks the block; a
  // read-back has nothing to compare and fails with this box (the block's
  // address, the status byte).
  std::optional<StringId> unknownStatusBox;
  std::function<BlockPayload(std::uint32_t offset, std::uint32_t block)> payload;
  // The echo came: false (after its box) fails the transfer.
  std::function<bool(const DecodedReply& reply, std::uint32_t offset, std::uint32_t block)> echoPasses;
};

// Sends every block of the image under the rules; false after the message
// box that says why.
// Over the line; the boxes, the progress and the hourglass go to the user.
bool RunBlockTransfer(CUpsLink& link, ILinkHost& line, ICommandHost& user, const TransferImage& image,
                      const BlockRules& rules);

// The programming transfer (flash/ProgramTransfer.cpp).
bool ProgramImage(CUpsLink& link, ILinkHost& line, ICommandHost& user, const TransferImage& image);
// The read-back and comparison (flash/VerifyTransfer.cpp).
bool VerifyImage(CUpsLink& link, ILinkHost& line, ICommandHost& user, const TransferImage& image);
