#include "RecordingView.h"

namespace {

template <typename T>
std::optional<T> Next(std::deque<std::optional<T>>& queue) {
  if (queue.empty()) return std::nullopt;
  std::optional<T> answer = queue.front();
  queue.pop_front();
  return answer;
}

}  // namespace

void CRecordingView::TranscriptChanged(const CTranscript& transcript, const TranscriptChange&) {
  transcripts.push_back(transcript.Text());
}

void CRecordingView::MessageBox(const std::string& text) {
  boxes.push_back(text);
  events.push_back("box: " + text);
}

void CRecordingView::SetStatusText(const std::string& text) {
  statusLines.push_back(text);
  events.push_back("status: " + text);
}

void CRecordingView::EnableToolbarButton(int commandId, bool enabled) {
  events.push_back("button " + std::to_string(commandId) + (enabled ? " on" : " off"));
}

void CRecordingView::SetWaitCursor(bool on) {
  waitCursor = on;
  if (on) ++waitCursorOn;
}

void CRecordingView::PumpPendingMessages() {
  if (onPump) onPump();
}

void CRecordingView::TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total) {
  progress.push_back({kind, done, total});
}

std::optional<std::string> CRecordingView::AskRomFile() {
  events.push_back("ask rom");
  return Next(romFiles);
}

std::optional<std::string> CRecordingView::AskSubmoduleText() {
  events.push_back("ask submodule");
  return Next(submoduleTexts);
}

std::optional<ConfigChoice> CRecordingView::AskConfiguration(const ConfigChoice&) {
  events.push_back("ask config");
  return Next(configChoices);
}
