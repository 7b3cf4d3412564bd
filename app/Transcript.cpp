#include "app/Transcript.h"

void CTranscript::AppendText(const std::string& text) {
  text_ += text;
  Changed(TranscriptChange::Appended, text);
}

// The last line starts after the final line feed; after a closing "\r\n" it
// is empty, so the text lands on a new line.
void CTranscript::ReplaceLastLine(const std::string& text) {
  const std::size_t lineFeed = text_.rfind('\n');
  const std::size_t start = lineFeed == std::string::npos ? 0 : lineFeed + 1;
  text_.replace(start, std::string::npos, text);
  Changed(TranscriptChange::LastLineReplaced, text);
}

void CTranscript::SetText(const std::string& text) {
  text_ = text;
  Changed(TranscriptChange::Replaced, text);
}

void CTranscript::TrimLog(bool hasActiveWindow) {
  if (!hasActiveWindow || text_.size() < kTrimThreshold) return;
  text_.erase(0, kTrimDrop);
  Changed(TranscriptChange::Replaced, text_);
}

void CTranscript::Changed(TranscriptChange::Kind kind, const std::string& text) {
  if (listener_) listener_(*this, TranscriptChange{kind, text});
}

std::string UnixLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}
