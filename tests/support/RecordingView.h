#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/View.h"

// A view for tests: records what the user would see, in order, and answers
// the dialogs from queues the test fills (an empty queue cancels).
class CRecordingView final : public IView {
 public:
  struct Progress {
    TransferKind kind;
    std::uint32_t done;
    std::uint32_t total;
  };

  void TranscriptChanged(const CTranscript& transcript, const TranscriptChange& change) override;
  void ScrollToEnd() override { ++scrolls; }
  void SetStatusColour(StatusColour c) override { colour = c; }
  void MessageBox(const std::string& text) override;
  void SetTitle(const std::string& text) override { title = text; }
  void SetStatusText(const std::string& text) override;
  void EnableToolbarButton(int commandId, bool enabled) override;
  void SetWaitCursor(bool on) override;
  void PumpPendingMessages() override;
  bool HasActiveWindow() override { return activeWindow; }
  bool InterruptRequested() override { return interrupt && interrupt(); }
  void TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) override;
  std::optional<std::string> AskRomFile() override;
  std::optional<std::string> AskSubmoduleText() override;
  std::optional<ConfigChoice> AskConfiguration(const ConfigChoice& initial) override;
  void ShowStartupNotice() override { events.push_back("notice"); }
  void ShowAbout() override { events.push_back("about"); }

  // What the user saw, one entry each: "box: TEXT", "status: TEXT",
  // "button ID on|off", "notice", "ask rom", "ask submodule", "ask config".
  std::vector<std::string> events;
  std::vector<std::string> boxes;
  // The whole transcript after each change, so lines a later step replaced can be checked.
  std::vector<std::string> transcripts;
  std::vector<std::string> statusLines;
  std::vector<Progress> progress;
  std::string title;
  std::optional<StatusColour> colour;
  int scrolls = 0;
  int waitCursorOn = 0;
  bool waitCursor = false;
  bool activeWindow = true;
  // Runs on every pending-message pump, as user input arriving during a command.
  std::function<void()> onPump;
  // Asked during every wait; true makes the waits give up at once.
  std::function<bool()> interrupt;

  std::deque<std::optional<std::string>> romFiles;
  std::deque<std::optional<std::string>> submoduleTexts;
  std::deque<std::optional<ConfigChoice>> configChoices;
};
