#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ini/ModelLookup.h"
#include "rom/RomHeader.h"

// What a ROM image file says on its own, without a UPS: what `inspect`
// prints and what a run report records of the image.
struct RomFacts {
  std::uint64_t fileLength = 0;
  RomHeader header;
  int romDataSize = 0;
  ModelLookupResult model;
  std::string modelFile;

  bool TooShort() const;  // Open reads no header from it
  bool ChecksumCorrect() const { return header.CalculatedChecksum() == header.StoredChecksum(); }
};

// The whole file; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes);

// Reads the header and looks its UPS ID up in the model table at modelFile.
RomFacts ReadRomFacts(const std::vector<std::uint8_t>& file, const std::string& modelFile);

// Why Open would reject the image on its own (no magic, a header too large,
// an unknown UPS ID, no ROM data); empty when it would not.
std::vector<std::string> RomRejections(const RomFacts& facts);
// What Open would warn about that is known without a UPS.
std::vector<std::string> RomWarnings(const RomFacts& facts);

// The header fields, the checksum verdict, the ROM data size and the model,
// one per line.
std::string DescribeRomFacts(const std::string& path, const RomFacts& facts);
