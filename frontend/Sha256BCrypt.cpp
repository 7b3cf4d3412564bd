#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include "frontend/Sha256.h"

namespace {

constexpr ULONG kDigestBytes = 32;

bool HashInto(BCRYPT_ALG_HANDLE algorithm, const std::vector<std::uint8_t>& bytes,
              std::vector<std::uint8_t>& digest) {
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) return false;
  // BCryptHashData takes a non-const input pointer but does not write through it.
  auto* input = const_cast<PUCHAR>(bytes.data());
  const bool ok = BCRYPT_SUCCESS(BCryptHashData(hash, input, static_cast<ULONG>(bytes.size()), 0)) &&
                  BCRYPT_SUCCESS(BCryptFinishHash(hash, digest.data(), kDigestBytes, 0));
  BCryptDestroyHash(hash);
  return ok;
}

}  // namespace

std::vector<std::uint8_t> Sha256(const std::vector<std::uint8_t>& bytes) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
    return {};
  std::vector<std::uint8_t> digest(kDigestBytes);
  const bool ok = HashInto(algorithm, bytes, digest);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return ok ? digest : std::vector<std::uint8_t>{};
}
