#include "app/MainFrame.h"

// Placeholder so the tree links while this file's owner writes it.
int CMainFrame::Negotiate(std::uint32_t, int&) {
  return 0;
}
int CMainFrame::ServiceModeStep() {
  return 0;
}
