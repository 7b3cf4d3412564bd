#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "app/View.h"
#include "frontend/RunCause.h"
#include "frontend/RunReport.h"

// The view of the command-line front end: the transcript on one stream,
// message boxes, status lines and the progress bar on the other. Dialogs
// are answered from the command line; message boxes are answered OK at once.
class CCliView final : public IView {
 public:
  struct Streams {
    std::ostream& out;
    std::ostream& err;
    bool outIsTerminal = false;
    bool errIsTerminal = false;
  };

  CCliView(Streams streams, std::string romFile, std::string submoduleText);

  void TranscriptChanged(const CTranscript& transcript, const TranscriptChange& change) override;
  void ScrollToEnd() override {}
  void SetStatusColour(StatusColour colour) override { failureColour_ = colour == StatusColour::Failure; }
  void MessageBox(const std::string& text) override;
  void SetTitle(const std::string&) override {}
  void SetStatusText(const std::string& text) override;
  void EnableToolbarButton(int, bool) override {}
  void SetWaitCursor(bool) override {}
  void PumpPendingMessages() override {}
  bool HasActiveWindow() override { return true; }
  bool InterruptRequested() override { return interrupted_ != nullptr && interrupted_->load(); }
  void TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) override;
  std::optional<std::string> AskRomFile() override;
  std::optional<std::string> AskSubmoduleText() override;
  std::optional<ConfigChoice> AskConfiguration(const ConfigChoice&) override { return std::nullopt; }
  void ShowStartupNotice() override {}
  void ShowAbout() override {}

  // The run report that sees the message boxes and the transfers; nullptr for none.
  void FeedReport(CRunReport* report) { report_ = report; }
  // The flag a SIGINT handler sets; the core's waits give up once it is set.
  void WatchInterrupt(const std::atomic<bool>* flag) { interrupted_ = flag; }
  // Where a lost device or an interrupt is learnt; nullptr for nowhere.
  void WatchCauses(CRunCause* causes) { causes_ = causes; }
  // Says each cause not yet said, as a message line.
  void SayNewCauses();
  // Writes the final transcript when stdout is not a terminal.
  void Finish(const CTranscript& transcript);
  bool RomFileAsked() const { return romFileAsked_; }
  bool FailureColour() const { return failureColour_; }

 private:
  void ShowLive(const std::string& text);
  void WriteMessage(const std::string& text);
  void EndProgressBar();

  Streams io_;
  std::string romFile_;
  std::string submoduleText_;
  std::string shown_;  // what the terminal shows of the transcript, "\n" line ends
  const std::atomic<bool>* interrupted_ = nullptr;
  CRunReport* report_ = nullptr;
  CRunCause* causes_ = nullptr;
  bool romFileAsked_ = false;
  bool failureColour_ = false;
  bool barVisible_ = false;
  std::chrono::steady_clock::time_point barStart_;
};

// One progress-bar line: kind, percent, bytes, bytes/s and time left.
std::string ProgressBarLine(TransferKind kind, std::uint32_t done, std::uint32_t total, double seconds);
