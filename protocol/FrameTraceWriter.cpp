#include "protocol/FrameTraceWriter.h"

#include <cstdio>
#include <iostream>

#include "protocol/HexText.h"
#include "seams/Utf8Path.h"

bool CFrameTraceWriter::Open(const std::string& path) {
  if (path == "-") {
    Open(std::cerr);
    return true;
  }
  std::lock_guard lock(mutex_);
  file_.close();
  file_.clear();
  file_.open(Utf8Path(path), std::ios::out | std::ios::trunc);
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
  // An empty Plug-and-Play string is traced as its tag alone.
  std::string line = kTags[static_cast<int>(direction)];
  if (count > 0) line += ' ' + HexBytes(bytes, count);
  WriteLine(line);
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
