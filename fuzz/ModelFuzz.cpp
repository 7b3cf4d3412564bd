// The model table: any file read by CIniFile and searched by the model
// lookup. The first two input bytes are the UPS type code looked up (low
// byte first), the third picks a section for a direct read; the rest is the
// file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/ScratchDir.h"
#include "ini/IniFile.h"
#include "ini/ModelLookup.h"

namespace {

constexpr std::size_t kHeaderBytes = 3;
constexpr int kMaxEntries = 200;

// One table file per process, removed when the run ends.
struct CTableFile {
  std::string path = ScratchDir() + "/tobrane-fuzz-model-" + std::to_string(::getpid()) + ".ini";
  ~CTableFile() { std::remove(path.c_str()); }
};

const std::string& TablePath() {
  static const CTableFile file;
  return file.path;
}

void WriteTable(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(TablePath().c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeaderBytes) return 0;
  const auto code = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
  const int section = data[2] % 16;
  WriteTable(data + kHeaderBytes, size - kHeaderBytes);
  (void)LookupModel(code, TablePath());
  CIniFile ini(TablePath());
  long first = 0;
  long last = 0;
  (void)ini.FindSection(std::to_string(section), first, last);
  std::uint32_t key = 0;
  std::string value;
  if (ini.GetEntry(section, key, value)) {
    for (int i = 0; i < kMaxEntries && ini.GetEntry(-1, key, value); ++i) {
    }
  }
  return 0;
}
