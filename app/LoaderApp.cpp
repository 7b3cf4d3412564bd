#include "app/LoaderApp.h"

// Placeholder so the tree links while this file's owner writes it.
CLoaderApp::CLoaderApp(ISettingsStore& store, IClock& clock, std::unique_ptr<ISerialDevice> device)
    : store_(store), clock_(clock), pendingDevice_(std::move(device)) {}
CLoaderApp::~CLoaderApp() = default;
void CLoaderApp::Start(const std::string&) {}
void CLoaderApp::AttachMainWindow(CMainFrame& frame) {
  mainWindow_ = &frame;
}
void CLoaderApp::OnAbout(IView&) {}
void CLoaderApp::DeletePort() {
  port_.reset();
}
