#include "rom/ModuleNames.h"

#include <array>

namespace {

constexpr std::array<StringId, kNamedModules> kModuleNameIds = {
    kStrModule0, kStrModule1, kStrModule2, kStrModule3, kStrModule4,  kStrModule5,
    kStrModule6, kStrModule7, kStrModule8, kStrModule9, kStrModule10, kStrModule11};

}  // namespace

StringId ModuleNameId(std::uint16_t moduleCode) {
  return kModuleNameIds[moduleCode];
}
