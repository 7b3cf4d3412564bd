#include <gtest/gtest.h>

#include "RecordingView.h"
#include "app/CommandIds.h"
#include "app/ViewHost.h"
#include "resources/Strings.h"

TEST(ViewHost, HandsWhatACommandShowsToTheView) {
  // Buttons go grey by their command ids, a quiet append does not scroll,
  // progress keeps its kind, and the pump's failure shows its own box.
  CTranscript transcript;
  CRecordingView view;
  CViewHost host(transcript, view);
  host.DisableButton(CommandButton::Program);
  host.DisableButton(CommandButton::Close);
  host.DisableButton(CommandButton::SelectSubmodule);
  EXPECT_EQ(view.events,
            (std::vector<std::string>{"button " + std::to_string(kCmdProgram) + " off",
                                      "button " + std::to_string(kCmdClose) + " off",
                                      "button " + std::to_string(kCmdSelectSubmodule) + " off"}));
  host.AppendText("quiet\r\n", false);
  EXPECT_EQ(view.scrolls, 0);
  host.AppendText("seen", true);
  EXPECT_EQ(view.scrolls, 1);
  host.ReplaceLastLine("last");
  EXPECT_EQ(host.TranscriptText(), "quiet\r\nlast");
  host.TransferProgress(true, 1, 2);
  ASSERT_EQ(view.progress.size(), 1u);
  EXPECT_EQ(view.progress[0].kind, TransferKind::Verifying);
  host.PumpStopFailed();
  EXPECT_EQ(view.boxes, std::vector<std::string>{Text(kStrFailedToStopPump)});
}
