#include "flash/FlashCommands.h"
#include "resources/Strings.h"
#include "rom/RomData.h"

void CFlashCommands::DisableImageCommands() {
  host_.DisableButton(CommandButton::Program);
  host_.DisableButton(CommandButton::Close);
  host_.DisableButton(CommandButton::SelectSubmodule);
}

bool CFlashCommands::BeginTransfer(bool ready, StringId abortedLine, StringId startedLine,
                                   std::string& copy) {
  if (!ready) {
    const std::string text = host_.TranscriptText() + Text(abortedLine);
    host_.SetStatusColour(StatusColour::Failure);
    host_.ShowText(text);
    host_.ScrollToEnd();
    return false;
  }
  host_.TrimLog();
  copy = host_.TranscriptText() + Text(startedLine);
  host_.ShowText(copy);
  host_.ScrollToEnd();
  return true;
}

bool CFlashCommands::ReadImageData(std::vector<std::uint8_t>& data, std::string& copy, StringId failedLine) {
  int got = 0;
  const RomDataRead read = ReadRomData(rom_, data, got);
  if (read == RomDataRead::Ok) return true;
  // Without the memory for it the transcript keeps the started line.
  if (read == RomDataRead::OutOfMemory) {
    host_.MessageBox(Text(kStrInputTooLarge));
    return false;
  }
  host_.MessageBox(Format(kStrRomDataShortRead, {got, rom_.romDataSize}));
  copy += Text(failedLine);
  host_.SetStatusColour(StatusColour::Failure);
  host_.ShowText(copy);
  return false;
}
