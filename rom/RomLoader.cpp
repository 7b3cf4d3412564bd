#include <algorithm>
#include <array>
#include <filesystem>

#include "resources/Strings.h"
#include "rom/ImageCommands.h"
#include "seams/ReadOnlyFile.h"
#include "seams/Utf8Path.h"

namespace {

constexpr std::uint64_t kNoRomDataLength = 16;
constexpr std::uint16_t kStandardHeaderSize = 20;
constexpr int kModuleZeroSlot = 10;
constexpr int kSpaceIndexFirst = 1;

constexpr std::array<const char*, 4> kAccessoryNames = {"Velmora", "Trisend Card", "Quorel Card",
                                                        "Stavel PDU"};

bool IsAccessory(const std::string& name) {
  return std::find(kAccessoryNames.begin(), kAccessoryNames.end(), name) != kAccessoryNames.end();
}

// Only a regular file can be an image; a directory opens but cannot be read.
FilePtr OpenImageFile(const std::string& path) {
  const std::filesystem::path file = Utf8Path(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return nullptr;
  return FilePtr(OpenReadOnly(file));
}

}  // namespace

int CImageCommands::OnOpen(RangeCheck check) {
  host.SetStatusColour(StatusColour::Ok);
  std::optional<std::string> path = host.AskRomFile();
  if (!path) {
    CloseImage();
    return 0;
  }
  return OpenNamedFile(*path, check);
}

bool CImageCommands::OpenImage(const std::string& path) {
  rom_.romFileName = path;
  rom_.romFile = OpenImageFile(path);
  if (!rom_.romFile) {
    host.MessageBox(Text(kStrUnableToOpenFile));
    rom_.romFileName.clear();
    return false;
  }
  rom_.programmed = 0;
  host.SetTitle(Format(kStrTitleWithFile, {path}));
  return true;
}

int CImageCommands::OpenNamedFile(const std::string& path, RangeCheck check) {
  if (!OpenImage(path)) return 1;
  host.ScrollToEnd();
  if (ReadHeader(check) == 0) {
    host.MessageBox(Text(kStrTypeMismatch));
    CloseImage();
    host.SetStatusColour(StatusColour::Failure);
    host.DisableButton(CommandButton::Program);
    return 0;
  }
  return 1;
}

void CImageCommands::LoadFromCommandLine(const std::string& path) {
  if (path.empty() || !OpenImage(path)) return;
  ReadHeader();
  host.ScrollToEnd();
}

int CImageCommands::ReadHeader(RangeCheck check) {
  rom_.romDataSize = 0;
  rom_.rangeLineAt.reset();
  host.TrimLog();
  std::string copy = host.TranscriptText();
  const std::uint64_t length = FileLength(rom_.romFile.get());
  if (length <= kNoRomDataLength) {
    host.ShowText(copy + Text(kStrNoRomData));
    return 1;
  }
  const RomHeader header = ReadRomHeader(rom_.romFile.get());
  // The ROM data start right after the declared header, whatever its size;
  // reading them seeks there and checks that it could.
  rom_.headerSize = header.declaredSize;
  rom_.romDataSize = RomDataSize(length, header.declaredSize);
  const HeaderCheck found = CheckHeader(header);
  TellHeader(header, found, copy);
  TellPlacement(header, check, copy);
  return found.Passes() ? 1 : 0;
}

HeaderCheck CImageCommands::CheckHeader(const RomHeader& header) {
  HeaderCheck found{LookupModel(header.UpsId(), modelTable)};
  found.forThisUps = header.UpsId() == conn.upsTypeCode || IsAccessory(found.model.name);
  // An unknown module code leaves the last image's in place.
  if (header.ModuleCode() < kNamedModules) rom_.moduleCode = static_cast<std::uint8_t>(header.ModuleCode());
  const int slot = rom_.moduleCode == 0 ? kModuleZeroSlot : rom_.moduleCode - 1;
  found.olderThanUps = header.CodeVersion() < conn.firmwareVersions[static_cast<std::size_t>(slot)];
  return found;
}

void CImageCommands::TellHeader(const RomHeader& header, const HeaderCheck& found, std::string& copy) {
  const int size = header.declaredSize;
  copy += size <= kStandardHeaderSize ? Format(kStrHeaderSize, {size})
                                      : Format(kStrHeaderTooLarge, {size - kStandardHeaderSize});
  copy += Format(kStrUpsId, {static_cast<unsigned>(header.UpsId()), found.model.name});
  if (!found.forThisUps) {
    copy += Text(kStrNotForThisUps);
    host.SetStatusColour(StatusColour::Failure);
    host.ShowText(copy);
    host.DisableButton(CommandButton::Program);
  }
  copy += header.ModuleCode() < kNamedModules
              ? Format(kStrModuleToProgram, {Text(ModuleNameId(rom_.moduleCode))})
              : Text(kStrModuleUnknown);
  copy += Format(kStrCodeVersion, {header.VersionMajor(), header.VersionMinor()});
  copy += Format(kStrDated, {static_cast<int>(header.DateFirst()), static_cast<int>(header.DateSecond()),
                             static_cast<int>(header.Year())});
  if (found.olderThanUps) {
    copy += Text(kStrOlderVersionLine);
    host.ShowText(copy);
    host.MessageBox(Text(kStrOlderVersionBox));
  }
}

void CImageCommands::TellPlacement(const RomHeader& header, RangeCheck check, std::string& copy) {
  const bool named = header.declaredSize >= kStandardHeaderSize;
  const std::uint32_t headerLoadAddress = named ? header.LoadAddress() : 0;
  if (check == RangeCheck::AfterModuleSpaces) {
    // The table holds the spaces of whatever answered before the route was
    // selected; the module's own come with its capabilities, after this.
    rom_.loadAddress = headerLoadAddress;
    rom_.selectedSpace = 0;
    rom_.rangeLineAt = copy.size();
  } else {
    copy += SelectImageSpace(headerLoadAddress, kSpaceIndexFirst, kFlashSpaceEntries);
    if (named) host.ShowText(copy);
  }
  const std::uint16_t sum = header.CalculatedChecksum();
  copy += sum == header.StoredChecksum() ? Text(kStrChecksumCorrect)
                                         : Format(kStrChecksumError, {sum, header.StoredChecksum()});
  copy += Format(kStrRomDataBytes, {rom_.romDataSize});
  host.ShowText(copy);
}

std::string CImageCommands::SelectImageSpace(std::uint32_t headerLoadAddress, int first, int end) {
  if (rom_.headerSize < kStandardHeaderSize) {
    // A short header names no address: the image goes to the start of the space.
    rom_.loadAddress = 0;
    rom_.selectedSpace = static_cast<std::uint8_t>(FindFlashSpace(0, rom_.moduleCode, first, end));
    if (rom_.selectedSpace != 0) rom_.loadAddress = conn.spaces[rom_.selectedSpace].spaceStart;
    return {};
  }
  rom_.loadAddress = headerLoadAddress;
  rom_.selectedSpace =
      static_cast<std::uint8_t>(FindFlashSpace(rom_.loadAddress, rom_.moduleCode, first, end));
  if (rom_.selectedSpace != 0) return Format(kStrLoadAddress, {rom_.loadAddress});
  host.SetStatusColour(StatusColour::Failure);
  CloseImage();
  return Format(kStrLoadAddressOutOfRange, {rom_.loadAddress});
}

void CImageCommands::CheckModuleRange(int firstModuleSpace) {
  const std::optional<std::size_t> at = rom_.rangeLineAt;
  rom_.rangeLineAt.reset();
  if (!at || !rom_.romFile) return;
  const std::string line = SelectImageSpace(rom_.loadAddress, firstModuleSpace, conn.spaceCount);
  std::string text = host.TranscriptText();
  text.insert(std::min(*at, text.size()), line);
  host.ShowText(text);
}

int CImageCommands::FindFlashSpace(std::uint32_t address, std::uint8_t moduleCode, int first, int end) const {
  const bool anyCpu = moduleCode == 0 && options.allowCpu0 != 0;
  for (int index = std::max(first, kSpaceIndexFirst); index < std::min(end, kFlashSpaceEntries); ++index) {
    const FlashSpace& space = conn.spaces[static_cast<std::size_t>(index)];
    const int type = space.spaceDescriptor & kSpaceTypeMask;
    // Written as an offset so that a space reaching the top of memory does not wrap.
    const bool inside = space.spaceSize != 0 && address >= space.spaceStart &&
                        address - space.spaceStart <= space.spaceSize - 1;
    if ((space.spaceCpu == moduleCode || anyCpu) && space.spaceReadWrite != 0 && inside &&
        IsFlashableSpaceType(type)) {
      return index;
    }
  }
  return 0;
}

void CImageCommands::CloseImage() {
  rom_.romFile.reset();
  rom_.rangeLineAt.reset();
  rom_.romFileName.clear();
  host.SetTitle(Text(kStrAppTitle));
}
