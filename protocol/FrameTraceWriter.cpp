#include "protocol/FrameTraceWriter.h"

#include <cstdio>
#include <iostream>

namespace {

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace

bool CFrameTraceWriter::Open(const std::string& path) {
  if (path == "-") {
    Open(std::cerr);
    return true;
  }
  std::lock_guard lock(mutex_);
  file_.close();
  file_.clear();
  file_.open(path, std::ios::out | std::ios::trunc);
  out_ = file_.is_open() ? &file_ : nullptr;
  startMs_ = clock_.NowMs();
  return out_ != nullptr;
}

void CFrameTraceWriter::Open(std::ostream& out) {
  std::lock_guard lock(mutex_);
  file_.close();
  out_ = &out;
  startMs_ = clock_.NowMs();
}

void CFrameTraceWriter::Close() {
  std::lock_guard lock(mutex_);
  out_ = nullptr;
  file_.close();
}

bool CFrameTraceWriter::IsOpen() const {
  std::lock_guard lock(mutex_);
  return out_ != nullptr;
}

void CFrameTraceWriter::Frame(TraceDirection direction, const std::uint8_t* bytes, std::size_t count) {
  static constexpr const char* kTags[] = {"TX", "RX", "PART", "DROP"};
  WriteLine(kTags[static_cast<int>(direction)] + HexBytes(bytes, count));
}

void CFrameTraceWriter::LineSpeed(std::uint32_t baud, int dataBits) {
  WriteLine("LINE " + std::to_string(baud) + " baud " + std::to_string(dataBits) + " data bits");
}

void CFrameTraceWriter::WriteLine(const std::string& event) {
  std::lock_guard lock(mutex_);
  if (out_ == nullptr) return;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%8lld ms ", static_cast<long long>(clock_.NowMs() - startMs_));
  *out_ << stamp << event << '\n' << std::flush;
}
