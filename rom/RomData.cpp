#include "rom/RomData.h"

#include <new>

RomDataRead ReadRomData(const CRomImageState& rom, std::vector<std::uint8_t>& data, int& got) {
  got = 0;
  const std::size_t size = static_cast<std::size_t>(rom.romDataSize > 0 ? rom.romDataSize : 0);
  try {
    data.assign(size, 0);
  } catch (const std::bad_alloc&) {
    return RomDataRead::OutOfMemory;
  }
  std::FILE* file = rom.romFile.get();
  if (file == nullptr || std::fseek(file, rom.headerSize, SEEK_SET) != 0) return RomDataRead::ShortRead;
  // The file may have been cut short after it was opened, while stdio still
  // holds its old first bytes; its length now says how much of it is left.
  const std::uint64_t length = FileLength(file);
  const std::uint64_t left = length > rom.headerSize ? length - rom.headerSize : 0;
  if (left < size) {
    got = static_cast<int>(left);
    return RomDataRead::ShortRead;
  }
  got = static_cast<int>(std::fread(data.data(), 1, size, file));
  return got == rom.romDataSize ? RomDataRead::Ok : RomDataRead::ShortRead;
}
