#pragma once

#include <QPlainTextEdit>
#include <string>

#include "app/Transcript.h"

// The transcript control: read-only, word-wrapping, vertical scroll bar only,
// background in the two status colours.
class CLogView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit CLogView(QWidget* parent = nullptr);
  // Shows a change of the model; a rewritten progress line touches only the last block.
  void Show(const CTranscript& transcript, const TranscriptChange& change);
  void ScrollToEnd();
  void SetStatusColour(StatusColour colour);
  QColor Background() const;

  // "\r\n" is one line break.
  static QString Displayed(const std::string& text);
};
