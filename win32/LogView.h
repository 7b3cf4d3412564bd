#pragma once

#include "app/Transcript.h"
#include "win32/Win32Api.h"

// The transcript control: a read-only RichEdit (id 2000) that shows the
// core's transcript and, as its background, the status colour.
class CWinLogView {
 public:
  // Msftedit.dll must be loaded. False when the control cannot be made.
  bool Create(HWND parent, HINSTANCE instance);
  HWND Handle() const { return hwnd_; }
  void Show(const CTranscript& transcript, const TranscriptChange& change);
  // Scrolls until the last line is in view; pixelsPerInch turns the default
  // font's height into pixels (1 before the first paint, which makes it 0).
  void ScrollToEnd(int pixelsPerInch);
  void SetStatusColour(StatusColour colour);

 private:
  // Characters as the control counts them: one per paragraph break.
  LONG TextLength() const;
  // Replaces everything from start to the end with text.
  void ReplaceTail(LONG start, const std::string& text);

  HWND hwnd_ = nullptr;
};
