#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "protocol/FlashSpace.h"

// What the system knows about the connected UPS.
struct CConnectionState {
  static constexpr int kControllerSlots = 11;

  int connected = 0;
  std::string pnpString;  // the last Plug-and-Play string captured, "(" to ")"
  std::uint16_t lineSpeed = 19200;
  std::array<std::uint16_t, kControllerSlots> firmwareVersions{};
  std::uint16_t upsTypeCode = 0;
  std::array<FlashSpace, kFlashSpaceEntries> spaces{};
  int spaceCount = 1;
  int routeLength = 0;
  int idle = 0;
  int connectBusy = 0;
};
