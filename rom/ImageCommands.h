#pragma once

#include <cstdint>
#include <string>

#include "connection/CommandContext.h"
#include "ini/ModelLookup.h"
#include "rom/RomHeader.h"
#include "rom/RomImageState.h"

// Where an opened image's load address is checked against the flash space
// table: at once, or, behind a submodule route, once the module has reported
// its own spaces (CheckModuleRange).
enum class RangeCheck { AtOnce, AfterModuleSpaces };

// What Read Header finds against the model table and the connected UPS.
struct HeaderCheck {
  ModelLookupResult model;
  bool forThisUps = false;
  bool olderThanUps = false;
  bool Passes() const { return model.matched && model.lastReadYielded && forThisUps; }
};

// Open, Close and Read Header: they fill in the ROM image state from the
// file, checked against what Connect found, and tell the user through the host.
class CImageCommands : private CommandContext {
 public:
  CImageCommands(const CommandContext& context, CRomImageState& rom) : CommandContext(context), rom_(rom) {}

  int OnOpen(RangeCheck check = RangeCheck::AtOnce);
  // Opens a named file as the Open command does after its dialog (drag and drop,
  // the command-line front end); returns what the Open command returns.
  int OpenNamedFile(const std::string& path, RangeCheck check = RangeCheck::AtOnce);
  // The file named on the command line, opened at the first paint.
  void LoadFromCommandLine(const std::string& path);
  int ReadHeader(RangeCheck check = RangeCheck::AtOnce);
  // The first of table entries first .. end - 1 that can take the image; 0 for none.
  int FindFlashSpace(std::uint32_t address, std::uint8_t moduleCode, int first, int end) const;
  // The range check that Read Header left to the module: against the entries
  // from firstModuleSpace on, its line put where Read Header left room for it.
  void CheckModuleRange(int firstModuleSpace);
  void CloseImage();

 private:
  // Opens the file as the image and names it in the title; false after its box.
  bool OpenImage(const std::string& path);
  // Read Header's checks (which also take the module code) and its lines:
  // those that the header tells, then where the image goes and what it holds.
  HeaderCheck CheckHeader(const RomHeader& header);
  void TellHeader(const RomHeader& header, const HeaderCheck& found, std::string& copy);
  void TellPlacement(const RomHeader& header, RangeCheck check, std::string& copy);
  // Selects the image's flash space among entries first .. end - 1 and
  // returns its line: the load address, or the range error, which closes the image.
  std::string SelectImageSpace(std::uint32_t headerLoadAddress, int first, int end);

  CRomImageState& rom_;
};
