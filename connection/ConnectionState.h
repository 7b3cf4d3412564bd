#pragma once

#include <array>
#include <cstdint>

// One flashable memory space that a controller reported.
struct FlashSpace {
  std::uint8_t spaceDescriptor = 0;  // low nibble space type, high nibble access type
  int spaceReadWrite = 0;
  std::uint32_t spaceMaxBlock = 0;
  std::uint32_t spaceStart = 0;
  std::uint32_t spaceSize = 0;
  std::uint8_t spaceCpu = 0;
};

// What the system knows about the connected UPS.
struct CConnectionState {
  static constexpr int kControllerSlots = 11;
  static constexpr int kFlashSpaceEntries = 32;  // index 0 is never used

  int connected = 0;
  std::uint16_t lineSpeed = 19200;
  std::array<std::uint16_t, kControllerSlots> firmwareVersions{};
  std::uint16_t upsTypeCode = 0;
  std::array<FlashSpace, kFlashSpaceEntries> spaces{};
  int spaceCount = 1;
  int routeLength = 0;
  int idle = 0;
  int connectBusy = 0;
};

// Reply-wait allowance in polls by submodule route length.
inline int AllowanceByRoute(int routeLength) {
  if (routeLength <= 1) return 800;
  if (routeLength == 2) return 1600;
  return 2000;
}
