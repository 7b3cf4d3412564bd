#include <algorithm>
#include <array>
#include <filesystem>

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "resources/Strings.h"
#include "rom/ModelLookup.h"
#include "rom/ModuleNames.h"
#include "rom/RomHeader.h"
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
  for (const char* accessory : kAccessoryNames) {
    if (name == accessory) return true;
  }
  return false;
}

// Only a regular file can be an image; a directory opens but cannot be read.
FilePtr OpenImageFile(const std::string& path) {
  const std::filesystem::path file = Utf8Path(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return nullptr;
  return FilePtr(OpenReadOnly(file));
}

}  // namespace

int CMainFrame::OnOpen(RangeCheck check) {
  view_.SetStatusColour(StatusColour::Ok);
  std::optional<std::string> path = view_.AskRomFile();
  if (!path) {
    CloseImage();
    return 0;
  }
  return OpenNamedFile(*path, check);
}

bool CMainFrame::OpenImage(const std::string& path) {
  rom_.romFileName = path;
  rom_.romFile = OpenImageFile(path);
  if (!rom_.romFile) {
    MessageBox(Text(kStrUnableToOpenFile));
    rom_.romFileName.clear();
    return false;
  }
  rom_.programmed = 0;
  view_.SetTitle(Format(kStrTitleWithFile, {path}));
  return true;
}

int CMainFrame::OpenNamedFile(const std::string& path, RangeCheck check) {
  if (!OpenImage(path)) return 1;
  ScrollToEnd();
  if (ReadHeader(check) == 0) {
    MessageBox(Text(kStrTypeMismatch));
    view_.SetStatusColour(StatusColour::Failure);
    CloseImage();
    view_.SetStatusColour(StatusColour::Failure);
    view_.EnableToolbarButton(kCmdProgram, false);
    return 0;
  }
  return 1;
}

void CMainFrame::LoadFromCommandLine() {
  if (app_.commandLineFileName.empty() || !OpenImage(app_.commandLineFileName)) return;
  ReadHeader();
  ScrollToEnd();
}

int CMainFrame::ReadHeader(RangeCheck check) {
  rom_.romDataSize = 0;
  rom_.rangeLineAt.reset();
  TrimLog();
  std::string copy = TranscriptText();
  std::FILE* file = rom_.romFile.get();
  const std::uint64_t length = FileLength(file);
  if (length <= kNoRomDataLength) {
    copy += Text(kStrNoRomData);
    ShowText(copy);
    return 1;
  }
  std::array<std::uint8_t, RomHeader::kRecordSize> first{};
  std::rewind(file);
  const std::size_t got = std::fread(first.data(), 1, first.size(), file);
  const RomHeader header = ParseRomHeader(first.data(), got);
  // The ROM data start right after the declared header, whatever its size;
  // reading them seeks there and checks that it could.
  rom_.headerSize = header.declaredSize;
  rom_.romDataSize = RomDataSize(length, header.declaredSize);

  int result = 1;
  if (header.declaredSize <= kStandardHeaderSize) {
    copy += Format(kStrHeaderSize, {static_cast<int>(header.declaredSize)});
  } else {
    copy += Format(kStrHeaderTooLarge, {header.declaredSize - kStandardHeaderSize});
  }

  const ModelLookupResult model = LookupModel(header.UpsId(), app_.modelTable);
  if (!model.matched || !model.lastReadYielded) result = 0;
  copy += Format(kStrUpsId, {static_cast<unsigned>(header.UpsId()), model.name});

  if (header.UpsId() != conn_.upsTypeCode && !IsAccessory(model.name)) {
    copy += Text(kStrNotForThisUps);
    view_.SetStatusColour(StatusColour::Failure);
    ShowText(copy);
    view_.EnableToolbarButton(kCmdProgram, false);
    result = 0;
  }

  if (header.ModuleCode() < kNamedModules) {
    rom_.moduleCode = static_cast<std::uint8_t>(header.ModuleCode());
    copy += Format(kStrModuleToProgram, {Text(ModuleNameId(rom_.moduleCode))});
  } else {
    copy += Text(kStrModuleUnknown);
  }

  copy += Format(kStrCodeVersion, {header.VersionMajor(), header.VersionMinor()});
  copy += Format(kStrDated, {static_cast<int>(header.DateFirst()), static_cast<int>(header.DateSecond()),
                             static_cast<int>(header.Year())});

  const int slot = rom_.moduleCode == 0 ? kModuleZeroSlot : rom_.moduleCode - 1;
  if (header.CodeVersion() < conn_.firmwareVersions[static_cast<std::size_t>(slot)]) {
    copy += Text(kStrOlderVersionLine);
    ShowText(copy);
    MessageBox(Text(kStrOlderVersionBox));
  }

  const std::uint32_t headerLoadAddress =
      header.declaredSize >= kStandardHeaderSize ? header.LoadAddress() : 0;
  if (check == RangeCheck::AfterModuleSpaces) {
    // The table holds the spaces of whatever answered before the route was
    // selected; the module's own come with its capabilities, after this.
    rom_.loadAddress = headerLoadAddress;
    rom_.selectedSpace = 0;
    rom_.rangeLineAt = copy.size();
  } else {
    copy += SelectImageSpace(headerLoadAddress, kSpaceIndexFirst, kFlashSpaceEntries);
    if (header.declaredSize >= kStandardHeaderSize) ShowText(copy);
  }

  if (header.CalculatedChecksum() == header.StoredChecksum()) {
    copy += Text(kStrChecksumCorrect);
  } else {
    copy += Format(kStrChecksumError, {header.CalculatedChecksum(), header.StoredChecksum()});
  }

  copy += Format(kStrRomDataBytes, {rom_.romDataSize});
  ShowText(copy);
  return result;
}

std::string CMainFrame::SelectImageSpace(std::uint32_t headerLoadAddress, int first, int end) {
  if (rom_.headerSize < kStandardHeaderSize) {
    // A short header names no address: the image goes to the start of the space.
    rom_.loadAddress = 0;
    rom_.selectedSpace = static_cast<std::uint8_t>(FindFlashSpace(0, rom_.moduleCode, first, end));
    if (rom_.selectedSpace != 0) rom_.loadAddress = conn_.spaces[rom_.selectedSpace].spaceStart;
    return {};
  }
  rom_.loadAddress = headerLoadAddress;
  rom_.selectedSpace =
      static_cast<std::uint8_t>(FindFlashSpace(rom_.loadAddress, rom_.moduleCode, first, end));
  if (rom_.selectedSpace != 0) return Format(kStrLoadAddress, {rom_.loadAddress});
  view_.SetStatusColour(StatusColour::Failure);
  CloseImage();
  return Format(kStrLoadAddressOutOfRange, {rom_.loadAddress});
}

void CMainFrame::CheckModuleRange(int firstModuleSpace) {
  const std::optional<std::size_t> at = rom_.rangeLineAt;
  rom_.rangeLineAt.reset();
  if (!at || !rom_.romFile) return;
  const std::string line = SelectImageSpace(rom_.loadAddress, firstModuleSpace, conn_.spaceCount);
  std::string text = TranscriptText();
  text.insert(std::min(*at, text.size()), line);
  ShowText(text);
}

int CMainFrame::FindFlashSpace(std::uint32_t address, std::uint8_t moduleCode, int first, int end) const {
  const bool anyCpu = moduleCode == 0 && app_.options.allowCpu0 != 0;
  for (int index = std::max(first, kSpaceIndexFirst); index < std::min(end, kFlashSpaceEntries); ++index) {
    const FlashSpace& space = conn_.spaces[static_cast<std::size_t>(index)];
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

void CMainFrame::CloseImage() {
  rom_.romFile.reset();
  rom_.rangeLineAt.reset();
  rom_.romFileName.clear();
  view_.SetTitle(Text(kStrAppTitle));
}
