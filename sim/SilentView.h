#pragma once

#include <optional>
#include <string>

#include "app/View.h"

// A view nobody watches, for drivers without a user (benchmarks, fuzzers):
// it shows nothing, cancels every dialog, and keeps only the last colour and
// message box, by which a driver can judge the run.
class CSilentView final : public IView {
 public:
  void TranscriptChanged(const CTranscript&, const TranscriptChange&) override {}
  void ScrollToEnd() override {}
  void SetStatusColour(StatusColour c) override { colour = c; }
  void MessageBox(const std::string& text) override { lastBox = text; }
  void SetTitle(const std::string&) override {}
  void SetStatusText(const std::string&) override {}
  void EnableToolbarButton(int, bool) override {}
  void SetWaitCursor(bool) override {}
  void PumpPendingMessages() override {}
  bool HasActiveWindow() override { return true; }
  void TransferProgress(TransferKind, std::uint32_t, std::uint32_t) override {}
  std::optional<std::string> AskRomFile() override { return std::nullopt; }
  std::optional<std::string> AskSubmoduleText() override { return std::nullopt; }
  std::optional<ConfigChoice> AskConfiguration(const ConfigChoice&) override { return std::nullopt; }
  void ShowStartupNotice() override {}
  void ShowAbout() override {}

  StatusColour colour = StatusColour::Ok;
  std::string lastBox;
};
