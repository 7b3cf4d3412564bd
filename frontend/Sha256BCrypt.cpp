#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include "frontend/Sha256.h"
#include "frontend/SystemLibrariesWin32.h"

namespace {

constexpr ULONG kDigestBytes = 32;

// bcrypt.dll is no KnownDLL: importing it would let a planted copy beside the
// program load before main, so it is loaded from System32 when first needed.
struct BCrypt {
  using OpenFn = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE*, LPCWSTR, LPCWSTR, ULONG);
  using CloseFn = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, ULONG);
  using CreateHashFn = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, BCRYPT_HASH_HANDLE*, PUCHAR, ULONG, PUCHAR, ULONG,
                                         ULONG);
  using HashDataFn = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
  using FinishHashFn = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
  using DestroyHashFn = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE);

  void* module = LoadSystemLibrary(L"bcrypt.dll");
  OpenFn open = SystemEntry<OpenFn>(module, "BCryptOpenAlgorithmProvider");
  CloseFn close = SystemEntry<CloseFn>(module, "BCryptCloseAlgorithmProvider");
  CreateHashFn createHash = SystemEntry<CreateHashFn>(module, "BCryptCreateHash");
  HashDataFn hashData = SystemEntry<HashDataFn>(module, "BCryptHashData");
  FinishHashFn finishHash = SystemEntry<FinishHashFn>(module, "BCryptFinishHash");
  DestroyHashFn destroyHash = SystemEntry<DestroyHashFn>(module, "BCryptDestroyHash");

  bool Complete() const { return open && close && createHash && hashData && finishHash && destroyHash; }
};

const BCrypt& Library() {
  static const BCrypt library;
  return library;
}

bool HashInto(const BCrypt& api, BCRYPT_ALG_HANDLE algorithm, const std::vector<std::uint8_t>& bytes,
              std::vector<std::uint8_t>& digest) {
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!BCRYPT_SUCCESS(api.createHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) return false;
  // BCryptHashData takes a non-const input pointer but does not write through it.
  auto* input = const_cast<PUCHAR>(bytes.data());
  const bool ok = BCRYPT_SUCCESS(api.hashData(hash, input, static_cast<ULONG>(bytes.size()), 0)) &&
                  BCRYPT_SUCCESS(api.finishHash(hash, digest.data(), kDigestBytes, 0));
  api.destroyHash(hash);
  return ok;
}

}  // namespace

std::vector<std::uint8_t> Sha256(const std::vector<std::uint8_t>& bytes) {
  const BCrypt& api = Library();
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!api.Complete() || !BCRYPT_SUCCESS(api.open(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
    return {};
  std::vector<std::uint8_t> digest(kDigestBytes);
  const bool ok = HashInto(api, algorithm, bytes, digest);
  api.close(algorithm, 0);
  return ok ? digest : std::vector<std::uint8_t>{};
}
