#pragma once

#include <cstdint>
#include <vector>

#include "rom/RomImageState.h"

enum class RomDataRead { Ok, OutOfMemory, ShortRead };

// Reads the image's ROM data: exactly the ROM data size bytes after the
// declared header, so header bytes never go out as data. `got` says how many
// bytes the file gave.
RomDataRead ReadRomData(const CRomImageState& rom, std::vector<std::uint8_t>& data, int& got);
