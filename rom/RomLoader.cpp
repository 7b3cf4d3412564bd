#include "app/MainFrame.h"

// Placeholder so the tree links while this file's owner writes it.
int CMainFrame::OnOpen() {
  return 0;
}
void CMainFrame::LoadFromCommandLine() {}
int CMainFrame::ReadHeader() {
  return 0;
}
int CMainFrame::FindFlashSpace(std::uint32_t, std::uint8_t) const {
  return 0;
}
void CMainFrame::CloseImage() {}
int CMainFrame::OpenNamedFile(const std::string&) {
  return 0;
}
