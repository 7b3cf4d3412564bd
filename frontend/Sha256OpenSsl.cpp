#include <openssl/evp.h>

#include "frontend/Sha256.h"

std::vector<std::uint8_t> Sha256(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> digest(EVP_MAX_MD_SIZE);
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) != 1) return {};
  digest.resize(length);
  return digest;
}
