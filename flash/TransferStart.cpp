#include <new>

#include "flash/FlashCommands.h"
#include "resources/Strings.h"
#include "seams/ReadOnlyFile.h"

namespace {

enum class RomDataRead { Ok, OutOfMemory, ShortRead };

// Exactly the ROM data size bytes after the declared header, so header bytes
// never go out as data. `got` says how many bytes the file gave.
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

}  // namespace

void CFlashCommands::DisableImageCommands() {
  host.DisableButton(CommandButton::Program);
  host.DisableButton(CommandButton::Close);
  host.DisableButton(CommandButton::SelectSubmodule);
}

bool CFlashCommands::BeginTransfer(bool ready, StringId abortedLine, StringId startedLine,
                                   std::string& copy) {
  if (!ready) {
    const std::string text = host.TranscriptText() + Text(abortedLine);
    host.SetStatusColour(StatusColour::Failure);
    host.ShowText(text);
    host.ScrollToEnd();
    return false;
  }
  host.TrimLog();
  copy = host.TranscriptText() + Text(startedLine);
  host.ShowText(copy);
  host.ScrollToEnd();
  return true;
}

bool CFlashCommands::ReadImageData(std::vector<std::uint8_t>& data, std::string& copy, StringId failedLine) {
  int got = 0;
  const RomDataRead read = ReadRomData(rom_, data, got);
  if (read == RomDataRead::Ok) return true;
  // Without the memory for it the transcript keeps the started line.
  if (read == RomDataRead::OutOfMemory) {
    host.MessageBox(Text(kStrInputTooLarge));
    return false;
  }
  host.MessageBox(Format(kStrRomDataShortRead, {got, rom_.romDataSize}));
  copy += Text(failedLine);
  host.SetStatusColour(StatusColour::Failure);
  host.ShowText(copy);
  return false;
}
