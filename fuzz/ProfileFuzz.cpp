// The simulator's profile loader over any text. Route profiles named by
// file are looked up among the bundled profiles.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sim/SimProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  SimProfile profile;
  std::string error;
  const bool ok = ParseSimProfile(text, TOBRANE_SIM_PROFILE_DIR, profile, error);
  // A refusal always says why; an accepted profile never carries an error.
  if (ok != error.empty()) std::abort();
  if (ok && profile.pnp.size() > 255) std::abort();
  return 0;
}
