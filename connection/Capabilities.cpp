#include "app/MainFrame.h"

// Placeholder so the tree links while this file's owner writes it.
int CMainFrame::FlashCapabilitiesStep() {
  return 0;
}
void CMainFrame::DecodeAcknowledge(const std::uint8_t*, std::uint16_t) {}
