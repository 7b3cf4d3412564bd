#pragma once

#include <cstdint>
#include <vector>

// The SHA-256 digest of the bytes (32 bytes); empty when the platform's
// hash failed. One implementation per platform, each over the OS's own
// library.
std::vector<std::uint8_t> Sha256(const std::vector<std::uint8_t>& bytes);
