#pragma once

#include "app/CommandIds.h"
#include "app/Transcript.h"
#include "app/View.h"
#include "resources/Strings.h"
#include "seams/CommandHost.h"
#include "seams/PortOwner.h"

// The commands' and the port's side of the main window: the transcript and
// the view, and nothing of the commands themselves.
class CViewHost final : public ICommandHost, public IPortOwner {
 public:
  CViewHost(CTranscript& transcript, IView& view) : transcript_(transcript), view_(view) {}

  std::string TranscriptText() const override { return transcript_.Text(); }
  void ShowText(const std::string& text) override { transcript_.SetText(text); }
  void AppendText(const std::string& text, bool scroll) override {
    transcript_.AppendText(text);
    if (scroll) view_.ScrollToEnd();
  }
  void ReplaceLastLine(const std::string& text) override { transcript_.ReplaceLastLine(text); }
  void ScrollToEnd() override { view_.ScrollToEnd(); }
  void TrimLog() override { transcript_.TrimLog(view_.HasActiveWindow()); }
  void MessageBox(const std::string& text) override { view_.MessageBox(text); }
  void SetStatusColour(StatusColour colour) override { view_.SetStatusColour(colour); }
  void SetStatusText(const std::string& text) override { view_.SetStatusText(text); }
  void SetTitle(const std::string& title) override { view_.SetTitle(title); }
  void DisableButton(CommandButton button) override {
    static constexpr int kIds[] = {kCmdProgram, kCmdClose, kCmdSelectSubmodule};
    view_.EnableToolbarButton(kIds[static_cast<int>(button)], false);
  }
  void SetWaitCursor(bool on) override { view_.SetWaitCursor(on); }
  void TransferProgress(bool verifying, std::uint32_t done, std::uint32_t total) override {
    view_.TransferProgress(verifying ? TransferKind::Verifying : TransferKind::Programming, done, total);
  }
  void PumpPendingMessages() override { view_.PumpPendingMessages(); }
  std::optional<std::string> AskRomFile() override { return view_.AskRomFile(); }
  std::optional<std::string> AskSubmoduleText() override { return view_.AskSubmoduleText(); }
  void PumpStopFailed() override { view_.MessageBox(Text(kStrFailedToStopPump)); }

 private:
  CTranscript& transcript_;
  IView& view_;
};
