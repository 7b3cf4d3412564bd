#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "seams/CommandHost.h"

// What the last transcript operation did, so a front end can redraw cheaply
// (a terminal rewrites the progress line in place).
struct TranscriptChange {
  enum Kind { Replaced, Appended, LastLineReplaced } kind = Replaced;
  std::string text;  // the appended text or the new last line
};

// The transcript as text with "\r\n" line ends. Toolkit-neutral: the window
// displays it, the command-line front end prints it.
class CTranscript {
 public:
  static constexpr std::size_t kTrimThreshold = 16384;
  static constexpr std::size_t kTrimDrop = 4097;

  using Listener = std::function<void(const CTranscript&, const TranscriptChange&)>;
  void SetListener(Listener listener) { listener_ = std::move(listener); }

  const std::string& Text() const { return text_; }
  void AppendText(const std::string& text);
  // Overwrites the last line in place (after a final "\r\n": adds a line).
  void ReplaceLastLine(const std::string& text);
  void SetText(const std::string& text);
  // Drops the oldest 4097 characters once the text reaches 16384, but only
  // while the application has an active window.
  void TrimLog(bool hasActiveWindow);

 private:
  void Changed(TranscriptChange::Kind kind, const std::string& text);

  std::string text_;
  Listener listener_;
};

// The transcript's "\r\n" line ends as "\n", as a terminal or a file shows them.
std::string UnixLineEnds(const std::string& text);
