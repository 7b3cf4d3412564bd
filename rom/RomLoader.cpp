#include <sys/stat.h>

#include <array>

#include "app/CommandIds.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "resources/Strings.h"
#include "rom/ModelLookup.h"
#include "rom/RomHeader.h"

namespace {

constexpr std::uint64_t kNoRomDataLength = 16;
constexpr std::uint16_t kStandardHeaderSize = 20;
constexpr int kModuleNames = 12;
constexpr int kModuleZeroSlot = 10;
constexpr int kSpaceIndexFirst = 1;
constexpr std::uint8_t kSpaceTypeMask = 0x0F;
constexpr std::uint8_t kSpaceTypeCode = 3;
constexpr std::uint8_t kSpaceTypeBootLoader = 6;

constexpr std::array<StringId, kModuleNames> kModuleNameIds = {
    kStrModule0, kStrModule1, kStrModule2, kStrModule3, kStrModule4,  kStrModule5,
    kStrModule6, kStrModule7, kStrModule8, kStrModule9, kStrModule10, kStrModule11};

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
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  return FilePtr(std::fopen(path.c_str(), "rb"));
}

}  // namespace

int CMainFrame::OnOpen() {
  SetStatusColour(StatusColour::Ok);
  std::optional<std::string> path = view_.AskRomFile();
  if (!path) {
    CloseImage();
    return 0;
  }
  return OpenNamedFile(*path);
}

int CMainFrame::OpenNamedFile(const std::string& path) {
  rom_.romFileName = path;
  rom_.romFile = OpenImageFile(path);
  if (!rom_.romFile) {
    MessageBox(Text(kStrUnableToOpenFile));
    rom_.romFileName.clear();
    return 1;
  }
  rom_.programmed = 0;
  view_.SetTitle(Format(kStrTitleWithFile, {path}));
  ScrollToEnd();
  if (ReadHeader() == 0) {
    MessageBox(Text(kStrTypeMismatch));
    SetStatusColour(StatusColour::Failure);
    CloseImage();
    SetStatusColour(StatusColour::Failure);
    view_.EnableToolbarButton(kCmdProgram, false);
    return 0;
  }
  return 1;
}

void CMainFrame::LoadFromCommandLine() {
  const std::string& name = app_.commandLineFileName;
  if (name.empty()) return;
  rom_.romFileName = name;
  rom_.romFile = OpenImageFile(name);
  if (!rom_.romFile) {
    MessageBox(Text(kStrUnableToOpenFile));
    rom_.romFileName.clear();
    return;
  }
  rom_.programmed = 0;
  view_.SetTitle(Format(kStrTitleWithFile, {name}));
  ReadHeader();
  ScrollToEnd();
}

int CMainFrame::ReadHeader() {
  rom_.romDataSize = 0;
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
  rom_.headerSize = header.declaredSize;
  // The ROM data start right after the declared header, whatever its size.
  std::fseek(file, header.declaredSize, SEEK_SET);
  rom_.romDataSize = RomDataSize(length, header.declaredSize);

  int result = 1;
  if (header.declaredSize <= kStandardHeaderSize) {
    copy += Format(kStrHeaderSize, {static_cast<int>(header.declaredSize)});
  } else {
    copy += Format(kStrHeaderTooLarge, {header.declaredSize - kStandardHeaderSize});
  }

  const ModelLookupResult model = LookupModel(header.UpsId());
  if (!model.matched || !model.lastReadYielded) result = 0;
  copy += Format(kStrUpsId, {static_cast<unsigned>(header.UpsId()), model.name});

  if (header.UpsId() != conn_.upsTypeCode && !IsAccessory(model.name)) {
    copy += Text(kStrNotForThisUps);
    SetStatusColour(StatusColour::Failure);
    ShowText(copy);
    view_.EnableToolbarButton(kCmdProgram, false);
    result = 0;
  }

  if (header.ModuleCode() < kModuleNames) {
    rom_.moduleCode = static_cast<std::uint8_t>(header.ModuleCode());
    copy += Format(kStrModuleToProgram, {Text(kModuleNameIds[rom_.moduleCode])});
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

  if (header.declaredSize >= kStandardHeaderSize) {
    rom_.loadAddress = header.LoadAddress();
    rom_.selectedSpace = static_cast<std::uint8_t>(FindFlashSpace(rom_.loadAddress, rom_.moduleCode));
    if (rom_.selectedSpace != 0) {
      copy += Format(kStrLoadAddress, {rom_.loadAddress});
    } else {
      copy += Format(kStrLoadAddressOutOfRange, {rom_.loadAddress});
      SetStatusColour(StatusColour::Failure);
      CloseImage();
    }
    ShowText(copy);
  } else {
    rom_.loadAddress = 0;
    rom_.selectedSpace = static_cast<std::uint8_t>(FindFlashSpace(0, rom_.moduleCode));
    if (rom_.selectedSpace != 0) rom_.loadAddress = conn_.spaces[rom_.selectedSpace].spaceStart;
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

int CMainFrame::FindFlashSpace(std::uint32_t address, std::uint8_t moduleCode) const {
  const bool anyCpu = moduleCode == 0 && app_.options.allowCpu0 != 0;
  for (int index = kSpaceIndexFirst; index < CConnectionState::kFlashSpaceEntries; ++index) {
    const FlashSpace& space = conn_.spaces[static_cast<std::size_t>(index)];
    const std::uint8_t type = space.spaceDescriptor & kSpaceTypeMask;
    // Written as an offset so that a space reaching the top of memory does not wrap.
    const bool inside = space.spaceSize != 0 && address >= space.spaceStart &&
                        address - space.spaceStart <= space.spaceSize - 1;
    if ((space.spaceCpu == moduleCode || anyCpu) && space.spaceReadWrite != 0 && inside &&
        (type == kSpaceTypeCode || type == kSpaceTypeBootLoader)) {
      return index;
    }
  }
  return 0;
}

void CMainFrame::CloseImage() {
  rom_.romFile.reset();
  rom_.romFileName.clear();
  view_.SetTitle(Text(kStrAppTitle));
}
