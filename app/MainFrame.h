#pragma once

#include <string>

#include "app/LinkHost.h"
#include "app/LoaderApp.h"
#include "app/SubmoduleCommand.h"
#include "app/Transcript.h"
#include "app/View.h"
#include "app/ViewHost.h"
#include "connection/ConnectCommand.h"
#include "connection/ConnectionState.h"
#include "flash/FlashCommands.h"
#include "protocol/ReceiveState.h"
#include "rom/ImageCommands.h"
#include "rom/RomImageState.h"

// The hub: holds the receive state, the connection fields and the ROM image
// state, keeps the enabling and close rules, and hands each command id to its
// command, which runs synchronously and reaches the user through the command
// host. Toolkit-neutral; the front ends drive it.
class CMainFrame {
 public:
  CMainFrame(CLoaderApp& app, IView& view);
  ~CMainFrame();
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // Window creation: receive mode idle, open the configured port
  // ("Port Open FAILED" when it does not open). Returns 0.
  int Create();
  // The first paint's steps: notice, command-line file and Program UPS, idle flag.
  void FirstPaint();
  // The close request: false when refused (idle flag 0); otherwise the final
  // start-comm request is sent, the port closed and deleted, and true returned.
  bool OnCloseRequest();
  bool IsCommandEnabled(int commandId) const;
  // Runs the handler of a menu or toolbar command.
  void RunCommand(int commandId);
  bool FirstPaintPending() const { return firstPaint_ != 0; }
  // True once a close request was accepted; the front end then closes the window.
  bool Closed() const { return closed_; }
  bool LastVerifyPassed() const { return rom_.lastVerifyPassed; }

  // The transcript (the model of the transcript control).
  const CTranscript& Transcript() const { return transcript_; }
  std::string TranscriptText() const { return transcript_.Text(); }
  // Adds to the text and scrolls to the end.
  void AppendText(const std::string& text) { host_.AppendText(text, true); }

  // Opens a named file as the Open command does after its dialog.
  int OpenNamedFile(const std::string& path) { return image_.OpenNamedFile(path); }
  void CloseImage() { image_.CloseImage(); }
  bool ProgramCanStart() { return flash_.ProgramCanStart(); }

  // What the application registers with the port and the link.
  CReceiveState& Receive() { return rx_; }
  IPortOwner& PortOwner() { return host_; }
  ILinkHost& LinkHost() { return linkHost_; }
  // Entry `index` of the flash space table; an empty space outside it.
  const FlashSpace& Space(int index) const { return linkHost_.Space(index); }
  CConnectCommand& Connect() { return connect_; }
  CImageCommands& Image() { return image_; }
  CConnectionState& Connection() { return conn_; }
  const CConnectionState& Connection() const { return conn_; }
  CRomImageState& Rom() { return rom_; }
  const CRomImageState& Rom() const { return rom_; }
  CLoaderApp& App() { return app_; }
  const CLoaderApp& App() const { return app_; }
  CUpsLink& Link() { return app_.Link(); }
  CSerialPort* Port() { return app_.Port(); }

 private:
  void OnConnect();
  // Opens the port with its settings texts (and device override).
  bool OpenConfiguredPort();
  void NoteRefusedSetting();

  CLoaderApp& app_;
  IView& view_;
  CTranscript transcript_;
  CReceiveState rx_;
  CConnectionState conn_;
  CRomImageState rom_;
  int firstPaint_ = 1;
  bool closed_ = false;
  CViewHost host_{transcript_, view_};
  CLinkHost linkHost_;
  CommandContext context_;
  CConnectCommand connect_;
  CImageCommands image_;
  CFlashCommands flash_;
  CSubmoduleCommand submodule_;
};
