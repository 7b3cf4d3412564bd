#include "app/MainFrame.h"

#include "app/LoaderApp.h"

// Placeholder so the tree links while this file's owner writes it.
CMainFrame::CMainFrame(CLoaderApp& app, IView& view) : app_(app), view_(view) {}
CMainFrame::~CMainFrame() = default;
int CMainFrame::Create() {
  return 0;
}
void CMainFrame::FirstPaint(int) {}
bool CMainFrame::OnCloseRequest() {
  return false;
}
bool CMainFrame::IsCommandEnabled(int) const {
  return false;
}
void CMainFrame::RunCommand(int) {}
void CMainFrame::AppendText(const std::string&) {}
void CMainFrame::ShowText(const std::string&) {}
void CMainFrame::InsertAtEnd(const std::string&) {}
void CMainFrame::ReplaceLastLine(const std::string&) {}
void CMainFrame::TrimLog() {}
void CMainFrame::ScrollToEnd() {}
void CMainFrame::SetStatusColour(StatusColour) {}
void CMainFrame::ReceiveBytes(const std::uint8_t*, std::uint32_t) {}
void CMainFrame::SetReceiveMode(int, bool) {}
void CMainFrame::PumpPendingMessages() {}
void CMainFrame::ShowPortMessage(const std::string&) {}
IByteSink& CMainFrame::Sink() {
  return *app_.Port();
}
IClock& CMainFrame::Clock() {
  return app_.Clock();
}
bool CMainFrame::WaitReply(int, int) {
  return false;
}
const FlashSpace& CMainFrame::Space(int index) const {
  return conn_.spaces[index];
}
void CMainFrame::MessageBox(const std::string&) {}
void CMainFrame::SetWaitCursor(bool) {}
void CMainFrame::TransferProgress(bool, std::uint32_t, std::uint32_t) {}
CUpsLink& CMainFrame::Link() {
  return app_.Link();
}
CSerialPort* CMainFrame::Port() {
  return app_.Port();
}
