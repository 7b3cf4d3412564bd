#include "flash/BlockTransfer.h"
#include "flash/FlashCommands.h"
#include "resources/Strings.h"

namespace {

constexpr int kStartFlashAttempts = 3;
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

bool CFlashCommands::ProgramCanStart() {
  // Nothing goes to the UPS without an open image that has ROM data.
  const bool ready = conn.connected != 0 && rom_.selectedSpace != 0 &&
                     linkHost.Space(rom_.selectedSpace).spaceReadWrite != 0 && rom_.romFile &&
                     rom_.romDataSize > 0;
  const FlashSpace& space = linkHost.Space(rom_.selectedSpace);
  const bool fits = !ready || FitsSpace(rom_, space);
  if (!fits) {
    const std::uint32_t spaceEnd = space.spaceStart + (space.spaceSize - 1);
    host.MessageBox(Format(kStrImageDoesNotFit, {rom_.romDataSize, rom_.loadAddress, spaceEnd}));
  }
  return ready && fits;
}

void CFlashCommands::OnProgramUps() {
  rom_.operation = 1;
  DisableImageCommands();
  std::string copy;
  if (BeginTransfer(ProgramCanStart(), kStrProgramAborted, kStrProgrammingStarted, copy)) {
    ProgramOpenImage(copy);
    host.ScrollToEnd();
    if (rom_.programmed != 0) VerifyAndReset();
  }
  image_.CloseImage();
  rom_.operation = 0;
}

// Start flash, the transfer and end flash; the ROM data are released before
// the read-back reads them again.
void CFlashCommands::ProgramOpenImage(std::string& copy) {
  std::vector<std::uint8_t> data;
  if (!ReadImageData(data, copy, kStrProgrammingFailed)) return;
  bool started = false;
  for (int attempt = 0; !started && attempt < kStartFlashAttempts; ++attempt) {
    if (!link.StartFlash(rom_.moduleCode, rom_.loadAddress, rom_.selectedSpace)) continue;
    started = true;
    const std::int64_t startSeconds = linkHost.Clock().WallSeconds();
    if (ProgramImage(link, linkHost, host, ImageOf(rom_, data))) {
      const int seconds = static_cast<int>(linkHost.Clock().WallSeconds() - startSeconds);
      copy += Format(kStrProgrammingCompleted, {seconds});
      rom_.programmed = 1;
    } else {
      copy += Text(kStrProgrammingFailed);
      host.SetStatusColour(StatusColour::Failure);
      // A half-written flash must not be left behind by closing the window.
      conn.idle = 0;
    }
    host.ShowText(copy);
    link.EndFlash(rom_.moduleCode);
  }
  if (!started) {
    copy += Text(kStrUpsNotReady);
    host.ShowText(copy);
    host.MessageBox(Text(kStrStartFlashFailed));
    copy += Text(kStrProgrammingFailed);
    host.SetStatusColour(StatusColour::Failure);
    host.ShowText(copy);
  }
}

// Reads the image back when verify is on, then resets the module unless its
// UPS type keeps running through a reset.
void CFlashCommands::VerifyAndReset() {
  const bool verified = options.verifyAfterFlash == 0 || VerifyProgram();
  const bool noReset = (conn.upsTypeCode == kNoResetTypeA || conn.upsTypeCode == kNoResetTypeB) &&
                       rom_.moduleCode == kNoResetModule;
  if (!verified || noReset) return;
  const Frame reset = CUpsLink::BuildRequest(kResetCommand, {rom_.moduleCode});
  if (reset.empty()) {
    host.MessageBox(Text(kStrOutOfMemory));
    return;
  }
  link.WriteFrame(reset);
  host.ShowText(host.TranscriptText() + Text(kStrResetSent));
  host.ScrollToEnd();
}
