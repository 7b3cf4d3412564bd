#include "app/MainFrame.h"

// Placeholder so the tree links while this file's owner writes it.
int CMainFrame::StartCommProbe() {
  return 0;
}
void CMainFrame::OnConnect() {}
