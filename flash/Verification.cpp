#include "app/MainFrame.h"

// Placeholder so the tree links while this file's owner writes it.
void CMainFrame::OnVerifyProgram() {}
bool CMainFrame::VerifyProgram() {
  return false;
}
bool CUpsLink::VerifyImage(const std::uint8_t*, std::uint32_t, std::uint8_t, std::uint32_t, int) {
  return false;
}
