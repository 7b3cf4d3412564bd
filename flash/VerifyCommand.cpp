#include "app/MainFrame.h"
#include "flash/BlockTransfer.h"
#include "resources/Strings.h"

void CMainFrame::OnVerifyProgram() {
  view_.SetStatusColour(VerifyProgram() ? StatusColour::Ok : StatusColour::Failure);
}

bool CMainFrame::VerifyProgram() {
  DisableImageCommands();
  const bool ready = conn_.connected != 0 && Space(rom_.selectedSpace).spaceReadWrite != 0 && rom_.romFile;
  std::string copy;
  if (!BeginTransfer(ready, kStrVerifyAborted, kStrVerificationStarted, copy)) {
    lastVerifyPassed_ = false;
    return false;
  }
  std::vector<std::uint8_t> data;
  bool passed = false;
  if (ReadImageData(data, copy, kStrVerificationFailed)) {
    passed = VerifyImage(Link(), *this, ImageOf(rom_, data));
    copy += Text(passed ? kStrVerificationCompleted : kStrVerificationFailed);
    if (!passed) view_.SetStatusColour(StatusColour::Failure);
    ShowText(copy);
  }
  ScrollToEnd();
  lastVerifyPassed_ = passed;
  return passed;
}
