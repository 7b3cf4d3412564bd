#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/Transcript.h"

// What the Configuration dialog shows and hands back.
struct ConfigChoice {
  int portChoice = -1;  // 0 for Com1 to 3 for Com4; -1 when none is selected
  bool verify = false;
  bool allowCpu0 = false;
};

enum class TransferKind { Programming, Verifying };

// Everything CMainFrame and the command flows show the user goes through
// this one interface. The Qt window, the command-line front end and the
// tests each implement it.
class IView {
 public:
  virtual ~IView() = default;

  // Transcript: the model changed; the view shows it.
  virtual void TranscriptChanged(const CTranscript& transcript, const TranscriptChange& change) = 0;
  virtual void ScrollToEnd() = 0;
  virtual void SetStatusColour(StatusColour colour) = 0;

  // A modal box with one OK button and the application's title.
  virtual void MessageBox(const std::string& text) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // The status bar's message pane.
  virtual void SetStatusText(const std::string& text) = 0;
  // Enables or disables one toolbar button at once, until the next idle update.
  virtual void EnableToolbarButton(int commandId, bool enabled) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  // Handles whatever the user did meanwhile, so the window stays alive.
  virtual void PumpPendingMessages() = 0;
  // Whether the application has an active window (the trim rule needs it).
  virtual bool HasActiveWindow() = 0;
  // True once the user asked the run to stop (SIGINT in the command-line
  // front end): reply waits then give up at once, as if timed out.
  virtual bool InterruptRequested() { return false; }

  // Progress of a block transfer, for a progress bar; done == total ends it.
  virtual void TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) = 0;

  // Dialogs. Empty optional: cancelled.
  virtual std::optional<std::string> AskRomFile() = 0;
  virtual std::optional<std::string> AskSubmoduleText() = 0;
  virtual std::optional<ConfigChoice> AskConfiguration(const ConfigChoice& initial) = 0;
  virtual void ShowStartupNotice() = 0;
  virtual void ShowAbout() = 0;
};
