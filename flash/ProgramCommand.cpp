#include "app/MainFrame.h"

// Placeholder so the tree links while this file's owner writes it.
void CMainFrame::OnProgramUps() {}
