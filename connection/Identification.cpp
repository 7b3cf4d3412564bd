#include "app/MainFrame.h"

// Placeholder so the tree links while this file's owner writes it.
int CMainFrame::IdentificationStep() {
  return 0;
}
int CMainFrame::StartupHandshake() {
  return 0;
}
