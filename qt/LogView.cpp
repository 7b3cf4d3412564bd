#include "qt/LogView.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

CLogView::CLogView(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName("2000");
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setTabStopDistance(fontMetrics().horizontalAdvance(' ') * 8);
  SetStatusColour(StatusColour::Ok);
}

QString CLogView::Displayed(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace("\r\n", "\n");
  return shown;
}

void CLogView::Show(const CTranscript& transcript, const TranscriptChange& change) {
  const std::string& text = transcript.Text();
  if (change.kind == TranscriptChange::LastLineReplaced && !text.empty() && text.back() != '\n') {
    QTextCursor cursor(document()->lastBlock());
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(Displayed(change.text));
    return;
  }
  if (change.kind == TranscriptChange::Appended) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(Displayed(change.text));
    return;
  }
  setPlainText(Displayed(text));
}

// Scrolls until the end is in view; a window lower than one line stops at the
// last position instead of searching for a line that never fits.
void CLogView::ScrollToEnd() {
  QScrollBar* bar = verticalScrollBar();
  if (bar->maximum() > 0) bar->setValue(bar->maximum());
}

void CLogView::SetStatusColour(StatusColour colour) {
  QPalette p = palette();
  const QColor background = colour == StatusColour::Ok ? QColor(128, 255, 128) : QColor(255, 128, 128);
  p.setColor(QPalette::Base, background);
  p.setColor(QPalette::Window, background);
  p.setColor(QPalette::Text, Qt::black);
  setPalette(p);
}

QColor CLogView::Background() const {
  return palette().color(QPalette::Base);
}
