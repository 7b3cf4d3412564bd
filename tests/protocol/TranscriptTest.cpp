#include <gtest/gtest.h>

#include <vector>

#include "app/Transcript.h"

namespace {

struct Recorder {
  explicit Recorder(CTranscript& t) {
    t.SetListener([this](const CTranscript&, const TranscriptChange& c) { changes.push_back(c); });
  }
  std::vector<TranscriptChange> changes;
};

}  // namespace

// Appends add at the end and tell the listener what was added.
TEST(Transcript, AppendsAndNotifies) {
  CTranscript t;
  Recorder rec(t);
  t.AppendText("Connecting\r\n");
  t.AppendText("\tservice mode");
  t.AppendText("");
  EXPECT_EQ(t.Text(), "Connecting\r\n\tservice mode");
  ASSERT_EQ(rec.changes.size(), 3u);
  EXPECT_EQ(rec.changes[1].kind, TranscriptChange::Appended);
  EXPECT_EQ(rec.changes[1].text, "\tservice mode");
}

// Two progress updates after a finished line leave exactly one progress line.
TEST(Transcript, ReplaceLastLineKeepsOneProgressLine) {
  CTranscript t;
  Recorder rec(t);
  t.AppendText("Programming\r\n");
  t.ReplaceLastLine("Programming address: 00008000");
  t.ReplaceLastLine("Programming address: 00008080");
  EXPECT_EQ(t.Text(), "Programming\r\nProgramming address: 00008080");
  EXPECT_EQ(rec.changes.back().kind, TranscriptChange::LastLineReplaced);
  EXPECT_EQ(rec.changes.back().text, "Programming address: 00008080");
  CTranscript single;
  single.ReplaceLastLine("a");
  single.ReplaceLastLine("b");
  EXPECT_EQ(single.Text(), "b");
}

// Setting the text replaces it all.
TEST(Transcript, SetTextReplacesEverything) {
  CTranscript t;
  Recorder rec(t);
  t.AppendText("old\r\n");
  t.SetText("new\r\n");
  EXPECT_EQ(t.Text(), "new\r\n");
  EXPECT_EQ(rec.changes.back().kind, TranscriptChange::Replaced);
}

// At 16384 characters the oldest 4097 go; below that, or in the background, nothing.
TEST(Transcript, TrimAt16384Drops4097) {
  CTranscript t;
  Recorder rec(t);
  std::string text(16383, 'a');
  t.SetText(text);
  t.TrimLog(true);
  EXPECT_EQ(t.Text().size(), 16383u);
  t.AppendText("b");
  t.TrimLog(false);
  EXPECT_EQ(t.Text().size(), 16384u);
  const std::size_t before = rec.changes.size();
  t.TrimLog(true);
  EXPECT_EQ(t.Text().size(), 12287u);
  EXPECT_EQ(t.Text().back(), 'b');
  ASSERT_EQ(rec.changes.size(), before + 1);
  EXPECT_EQ(rec.changes.back().kind, TranscriptChange::Replaced);
  EXPECT_EQ(rec.changes.back().text, t.Text());
}
