#pragma once

#include <cstdint>
#include <optional>
#include <string>

enum class StatusColour { Ok, Failure };

// The toolbar buttons that a command greys while it runs.
enum class CommandButton { Program, Close, SelectSubmodule };

// The main window as a command sees it: the transcript, the boxes, the
// status pane and colour, the title, the wait cursor, the progress, and the
// two questions a command asks.
class ICommandHost {
 public:
  virtual ~ICommandHost() = default;
  // The transcript, with "\r\n" line ends.
  virtual std::string TranscriptText() const = 0;
  // Sets the whole text (shows a copy).
  virtual void ShowText(const std::string& text) = 0;
  // Adds to the text; `scroll` also scrolls to the end.
  virtual void AppendText(const std::string& text, bool scroll) = 0;
  virtual void ReplaceLastLine(const std::string& text) = 0;
  virtual void ScrollToEnd() = 0;
  virtual void TrimLog() = 0;
  virtual void MessageBox(const std::string& text) = 0;
  virtual void SetStatusColour(StatusColour colour) = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // At once, until the next idle update.
  virtual void DisableButton(CommandButton button) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  virtual void TransferProgress(bool verifying, std::uint32_t done, std::uint32_t total) = 0;
  // Handles whatever the user did meanwhile, so the window stays alive.
  virtual void PumpPendingMessages() = 0;
  // Empty when cancelled.
  virtual std::optional<std::string> AskRomFile() = 0;
  virtual std::optional<std::string> AskSubmoduleText() = 0;
};
