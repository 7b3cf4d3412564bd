#include "cli/CliView.h"

#include <cmath>

#include "frontend/ProgressModel.h"
#include "resources/Strings.h"

namespace {

constexpr const char* kEraseLine = "\r\x1b[K";

std::size_t CommonPrefix(const std::string& a, const std::string& b) {
  std::size_t n = 0;
  while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
  return n;
}

// Where the line holding position pos begins.
std::size_t LineStart(const std::string& text, std::size_t pos) {
  if (pos == 0) return 0;
  const std::size_t newline = text.rfind('\n', pos - 1);
  return newline == std::string::npos ? 0 : newline + 1;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

std::string ProgressBarLine(TransferKind kind, std::uint32_t done, std::uint32_t total, double seconds) {
  const TransferPace pace = MeasurePace(done, total, seconds);
  constexpr int kWidth = 30;
  const int filled = static_cast<int>(pace.fraction * kWidth);
  // Rounded as printf's "%.0f" would round it.
  const auto wholeRate = static_cast<unsigned long long>(std::nearbyint(pace.bytesPerSecond));
  return Format(kStrCliProgressBar,
                {Text(kind == TransferKind::Programming ? kStrCliProgramming : kStrCliVerifying),
                 std::string(static_cast<std::size_t>(filled), '#'),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.'),
                 static_cast<int>(pace.fraction * 100), done, total, wholeRate, TimeLeftText(pace)});
}

CCliView::CCliView(Streams streams, std::string romFile, std::string submoduleText)
    : io_(streams), romFile_(std::move(romFile)), submoduleText_(std::move(submoduleText)) {}

void CCliView::TranscriptChanged(const CTranscript& transcript, const TranscriptChange&) {
  // The transcript tells the consequences; the cause comes first.
  SayNewCauses();
  if (!io_.outIsTerminal) return;
  // The bar already shows a transfer's progress; the per-block address
  // lines would fight it for the same terminal line.
  if (barVisible_ && io_.errIsTerminal) return;
  ShowLive(UnixLineEnds(transcript.Text()));
}

// Prints what changed since the last time: the new tail, or the last line
// rewritten in place. Text above the last line cannot be taken back on a
// terminal, so a rewrite further up prints the new text from that line on.
void CCliView::ShowLive(const std::string& text) {
  const std::size_t common = CommonPrefix(shown_, text);
  const std::size_t lastLineStart = LineStart(shown_, shown_.size());
  if (common == shown_.size()) {
    io_.out << text.substr(common);
  } else if (common >= lastLineStart) {
    io_.out << kEraseLine << text.substr(lastLineStart);
  } else {
    io_.out << '\n' << text.substr(LineStart(text, common));
  }
  io_.out.flush();
  shown_ = text;
}

void CCliView::Finish(const CTranscript& transcript) {
  EndProgressBar();
  const std::string text = UnixLineEnds(transcript.Text());
  if (io_.outIsTerminal) {
    ShowLive(text);
    if (!text.empty() && text.back() != '\n') io_.out << '\n';
  } else {
    io_.out << text;
  }
  io_.out.flush();
}

void CCliView::MessageBox(const std::string& text) {
  SayNewCauses();
  if (report_ != nullptr) report_->MessageBox(text);
  WriteMessage(text);
}

void CCliView::SayNewCauses() {
  if (causes_ == nullptr) return;
  for (const std::string& cause : causes_->TakeNew()) WriteMessage(cause);
}

void CCliView::WriteMessage(const std::string& text) {
  EndProgressBar();
  io_.err << Format(kStrCliMessage, {UnixLineEnds(text)}) << '\n';
  io_.err.flush();
}

void CCliView::SetStatusText(const std::string& text) {
  const std::string line = Trimmed(UnixLineEnds(text));
  if (line.empty()) return;
  EndProgressBar();
  io_.err << line << '\n';
  io_.err.flush();
}

void CCliView::TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) {
  if (report_ != nullptr) report_->TransferProgress(kind, done, total);
  if (!io_.errIsTerminal) return;
  const auto now = std::chrono::steady_clock::now();
  if (!barVisible_) {
    barStart_ = now;
    barVisible_ = true;
  }
  const double seconds = std::chrono::duration<double>(now - barStart_).count();
  io_.err << kEraseLine << ProgressBarLine(kind, done, total, seconds);
  io_.err.flush();
  if (done >= total) EndProgressBar();
}

void CCliView::EndProgressBar() {
  if (!barVisible_) return;
  barVisible_ = false;
  io_.err << '\n';
  io_.err.flush();
}

std::optional<std::string> CCliView::AskRomFile() {
  romFileAsked_ = true;
  if (romFile_.empty()) return std::nullopt;
  return romFile_;
}

std::optional<std::string> CCliView::AskSubmoduleText() {
  if (submoduleText_.empty()) return std::nullopt;
  return submoduleText_;
}
