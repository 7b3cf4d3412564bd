#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "flash/RomData.h"
#include "resources/Strings.h"

namespace {

constexpr int kStartFlashAttempts = 3;
constexpr std::uint8_t kResetCommand = 0x79;
constexpr std::uint16_t kNoResetTypeA = 280;
constexpr std::uint16_t kNoResetTypeB = 281;
constexpr std::uint8_t kNoResetModule = 2;

// Start flash erases the whole space, so an image that runs past its end
// would leave the UPS half written.
bool FitsSpace(const CRomImageState& rom, const FlashSpace& space) {
  const std::uint64_t end = std::uint64_t{rom.loadAddress} + static_cast<std::uint64_t>(rom.romDataSize);
  return end <= std::uint64_t{space.spaceStart} + space.spaceSize;
}

}  // namespace

void CMainFrame::OnProgramUps() {
  operation_ = 1;
  view_.EnableToolbarButton(kCmdProgram, false);
  view_.EnableToolbarButton(kCmdClose, false);
  view_.EnableToolbarButton(kCmdSelectSubmodule, false);
  // Nothing goes to the UPS without an open image that has ROM data.
  const bool ready = conn_.connected != 0 && rom_.selectedSpace != 0 &&
                     Space(rom_.selectedSpace).spaceReadWrite != 0 && rom_.romFile && rom_.romDataSize > 0;
  const FlashSpace& space = Space(rom_.selectedSpace);
  const bool fits = !ready || FitsSpace(rom_, space);
  if (!fits) {
    const std::uint32_t spaceEnd = space.spaceStart + (space.spaceSize - 1);
    MessageBox(Format(kStrImageDoesNotFit, {rom_.romDataSize, rom_.loadAddress, spaceEnd}));
  }
  if (!ready || !fits) {
    std::string text = TranscriptText() + Text(kStrProgramAborted);
    SetStatusColour(StatusColour::Failure);
    ShowText(text);
    ScrollToEnd();
    CloseImage();
    operation_ = 0;
    return;
  }
  TrimLog();
  std::string copy = TranscriptText() + Text(kStrProgrammingStarted);
  ShowText(copy);
  ScrollToEnd();

  std::vector<std::uint8_t> data;
  int got = 0;
  const RomDataRead read = ReadRomData(rom_, data, got);
  if (read == RomDataRead::OutOfMemory) {
    MessageBox(Text(kStrInputTooLarge));
  } else if (read == RomDataRead::ShortRead) {
    MessageBox(ShortReadMessage(rom_, got));
    copy += Text(kStrProgrammingFailed);
    SetStatusColour(StatusColour::Failure);
    ShowText(copy);
  } else {
    bool started = false;
    for (int attempt = 0; !started && attempt < kStartFlashAttempts; ++attempt) {
      if (!Link().StartFlash(rom_.moduleCode, rom_.loadAddress, rom_.selectedSpace)) continue;
      started = true;
      const std::int64_t startSeconds = Clock().WallSeconds();
      if (Link().ProgramImage(data.data(), static_cast<std::uint32_t>(data.size()), rom_.moduleCode,
                              rom_.loadAddress, rom_.selectedSpace)) {
        const int seconds = static_cast<int>(Clock().WallSeconds() - startSeconds);
        copy += Format(kStrProgrammingCompleted, {seconds});
        rom_.programmed = 1;
      } else {
        copy += Text(kStrProgrammingFailed);
        SetStatusColour(StatusColour::Failure);
        // A half-written flash must not be left behind by closing the window.
        conn_.idle = 0;
      }
      ShowText(copy);
      Link().EndFlash(rom_.moduleCode);
    }
    if (!started) {
      copy += Text(kStrUpsNotReady);
      ShowText(copy);
      MessageBox(Text(kStrStartFlashFailed));
      copy += Text(kStrProgrammingFailed);
      SetStatusColour(StatusColour::Failure);
      ShowText(copy);
    }
  }
  data.clear();
  data.shrink_to_fit();
  ScrollToEnd();

  if (rom_.programmed != 0) {
    const bool verified = app_.options.verifyAfterFlash == 0 || VerifyProgram();
    const bool noReset = (conn_.upsTypeCode == kNoResetTypeA || conn_.upsTypeCode == kNoResetTypeB) &&
                         rom_.moduleCode == kNoResetModule;
    if (verified && !noReset) {
      const Frame reset = CUpsLink::BuildTwoByteRequest(kResetCommand, rom_.moduleCode);
      if (reset.empty()) {
        MessageBox(Text(kStrOutOfMemory));
      } else {
        Link().WriteFrame(reset);
        ShowText(TranscriptText() + Text(kStrResetSent));
        ScrollToEnd();
      }
    }
  }
  rom_.romFile.reset();
  rom_.romFileName.clear();
  view_.SetTitle(Text(kStrAppTitle));
  operation_ = 0;
}
