#include <gtest/gtest.h>

#include <QScrollBar>

#include "qt/LogView.h"

TEST(LogView, ShowsCrLfAsOneBreakAndRewritesOnlyTheProgressLine) {
  // "\r\n" becomes one line break; a replaced last line changes only the last block.
  CTranscript transcript;
  CLogView view;
  transcript.SetListener([&](const CTranscript& t, const TranscriptChange& c) { view.Show(t, c); });
  transcript.SetText("Connect\r\n\tModel 12\r\nBlock 1");
  transcript.ReplaceLastLine("Block 2");
  EXPECT_EQ(view.toPlainText(), "Connect\n\tModel 12\nBlock 2");
  EXPECT_EQ(view.document()->blockCount(), 3);
  EXPECT_EQ(view.Background(), QColor(128, 255, 128));
  view.SetStatusColour(StatusColour::Failure);
  EXPECT_EQ(view.Background(), QColor(255, 128, 128));
}

TEST(LogView, ScrollToEndStaysWhenTheTextFitsAndEndsInAWindowLowerThanOneLine) {
  // A short text does not scroll; a window lower than one line still returns at the end.
  CLogView view;
  view.resize(300, 200);
  view.show();
  view.setPlainText("one line");
  view.ScrollToEnd();
  EXPECT_EQ(view.verticalScrollBar()->value(), 0);
  view.resize(300, 4);
  QString many;
  for (int i = 0; i < 200; ++i) many += QString("line %1\n").arg(i);
  view.setPlainText(many);
  view.ScrollToEnd();
  EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
}
