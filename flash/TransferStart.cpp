#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "resources/Strings.h"
#include "rom/RomData.h"

void CMainFrame::DisableImageCommands() {
  view_.EnableToolbarButton(kCmdProgram, false);
  view_.EnableToolbarButton(kCmdClose, false);
  view_.EnableToolbarButton(kCmdSelectSubmodule, false);
}

bool CMainFrame::BeginTransfer(bool ready, StringId abortedLine, StringId startedLine, std::string& copy) {
  if (!ready) {
    const std::string text = TranscriptText() + Text(abortedLine);
    view_.SetStatusColour(StatusColour::Failure);
    ShowText(text);
    ScrollToEnd();
    return false;
  }
  TrimLog();
  copy = TranscriptText() + Text(startedLine);
  ShowText(copy);
  ScrollToEnd();
  return true;
}

bool CMainFrame::ReadImageData(std::vector<std::uint8_t>& data, std::string& copy, StringId failedLine) {
  int got = 0;
  const RomDataRead read = ReadRomData(rom_, data, got);
  if (read == RomDataRead::Ok) return true;
  // Without the memory for it the transcript keeps the started line.
  if (read == RomDataRead::OutOfMemory) {
    MessageBox(Text(kStrInputTooLarge));
    return false;
  }
  MessageBox(Format(kStrRomDataShortRead, {got, rom_.romDataSize}));
  copy += Text(failedLine);
  view_.SetStatusColour(StatusColour::Failure);
  ShowText(copy);
  return false;
}
