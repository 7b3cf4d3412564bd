#include "app/ViewHost.h"

#include "app/CommandIds.h"
#include "resources/Strings.h"

void CViewHost::AppendText(const std::string& text, bool scroll) {
  transcript_.AppendText(text);
  if (scroll) view_.ScrollToEnd();
}

void CViewHost::DisableButton(CommandButton button) {
  static constexpr int kIds[] = {kCmdProgram, kCmdClose, kCmdSelectSubmodule};
  view_.EnableToolbarButton(kIds[static_cast<int>(button)], false);
}

void CViewHost::TransferProgress(bool verifying, std::uint32_t done, std::uint32_t total) {
  view_.TransferProgress(verifying ? TransferKind::Verifying : TransferKind::Programming, done, total);
}

void CViewHost::PumpStopFailed() {
  view_.MessageBox(Text(kStrFailedToStopPump));
}
