#pragma once

#include <cstdint>

// The fixed codes the UPS expects: the access code of the authorization frame
// and the code of the service-mode request.
inline constexpr std::uint8_t kAuthorizationAccessCode[3] = {0x54, 0x4F, 0x42};
inline constexpr std::uint8_t kServiceModeCode[3] = {0x53, 0x56, 0x43};
