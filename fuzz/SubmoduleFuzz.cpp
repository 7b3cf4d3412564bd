// The route typed into Select SubModule, as any text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "connection/SubmoduleRoute.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const SubmoduleRoute route = ParseSubmoduleRoute(text);
  if (route.valid && (route.length < 1 || route.length > 3)) std::abort();
  if (!route.valid && route.length > 3) std::abort();
  return 0;
}
