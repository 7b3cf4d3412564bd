#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/Strings.h"
#include "rom/ImageCommands.h"

// Program UPS and Verify Program over the link, for the open image and the
// spaces Connect found. Program UPS sets the image's operation flag while it runs.
class CFlashCommands : private CommandContext {
 public:
  CFlashCommands(const CommandContext& context, CImageCommands& image, CRomImageState& rom)
      : CommandContext(context), image_(image), rom_(rom) {}

  void OnProgramUps();
  // Program UPS's checks before its start-flash request: connected, an image
  // with ROM data for a writable space, and that it fits (else its box).
  bool ProgramCanStart();
  void OnVerifyProgram();
  bool VerifyProgram();

 private:
  // Program UPS after its start, and what follows a programmed image.
  void ProgramOpenImage(std::string& copy);
  void VerifyAndReset();
  // The start Program UPS and Verify Program share (flash/TransferStart.cpp):
  // the image's commands go grey; without `ready` the aborted line ends the
  // command (false); otherwise the log is trimmed and `copy` gets the
  // transcript with the started line.
  void DisableImageCommands();
  bool BeginTransfer(bool ready, StringId abortedLine, StringId startedLine, std::string& copy);
  // Reads the open image's ROM data. A failed read has shown its box and, when
  // the file came up short, `failedLine` appended to `copy` in red.
  bool ReadImageData(std::vector<std::uint8_t>& data, std::string& copy, StringId failedLine);

  CImageCommands& image_;
  CRomImageState& rom_;
};
