#pragma once

#include <cstdint>

#include "resources/Strings.h"

// Module codes 0 to 11 have names; the others are unknown.
inline constexpr int kNamedModules = 12;

// The name of a module code below kNamedModules.
StringId ModuleNameId(std::uint16_t moduleCode);
