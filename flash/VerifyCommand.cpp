#include "flash/BlockTransfer.h"
#include "flash/FlashCommands.h"
#include "resources/Strings.h"

void CFlashCommands::OnVerifyProgram() {
  host.SetStatusColour(VerifyProgram() ? StatusColour::Ok : StatusColour::Failure);
}

bool CFlashCommands::VerifyProgram() {
  DisableImageCommands();
  const bool ready =
      conn.connected != 0 && linkHost.Space(rom_.selectedSpace).spaceReadWrite != 0 && rom_.romFile;
  std::string copy;
  if (!BeginTransfer(ready, kStrVerifyAborted, kStrVerificationStarted, copy)) {
    rom_.lastVerifyPassed = false;
    return false;
  }
  std::vector<std::uint8_t> data;
  bool passed = false;
  if (ReadImageData(data, copy, kStrVerificationFailed)) {
    passed = VerifyImage(link, linkHost, host, ImageOf(rom_, data));
    copy += Text(passed ? kStrVerificationCompleted : kStrVerificationFailed);
    if (!passed) host.SetStatusColour(StatusColour::Failure);
    host.ShowText(copy);
  }
  host.ScrollToEnd();
  rom_.lastVerifyPassed = passed;
  return passed;
}
