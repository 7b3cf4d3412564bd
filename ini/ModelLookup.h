#pragma once

#include <cstdint>
#include <string>

#include "resources/Strings.h"

// What the model table says about a UPS type code.
struct ModelLookupResult {
  std::string name;  // name of the matching entry; empty without a match
  bool matched = false;
  bool lastReadYielded = false;
  bool firstReadYielded = false;
};

// Searches section [0] of the model table, and the sections after it, for
// the code. Gives up after 100 further reads. Shows nothing.
ModelLookupResult LookupModel(std::uint16_t code, const std::string& path = Text(kStrModelFileName));
