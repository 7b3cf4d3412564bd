#pragma once

#include <cstdint>
#include <string>

#include "app/Transcript.h"
#include "app/View.h"
#include "connection/ConnectionState.h"
#include "connection/SubmoduleRoute.h"
#include "protocol/ReceiveState.h"
#include "protocol/UpsLink.h"
#include "resources/Strings.h"
#include "rom/RomImageState.h"
#include "serial/SerialPort.h"

class CLoaderApp;

// The hub: holds the receive state, the connection fields and the ROM image
// state, runs every command synchronously, and reaches the user only through
// its IView. Toolkit-neutral; the front ends drive it.
class CMainFrame : public IByteReceiver, public IPortOwner, public ILinkHost {
 public:
  CMainFrame(CLoaderApp& app, IView& view);
  ~CMainFrame() override;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // ---- window (app/MainFrame.cpp) ----
  // Window creation: receive mode idle, open the configured port
  // ("Port Open FAILED" when it does not open). Returns 0.
  int Create();
  // The first paint's steps: notice, command-line file and Program UPS, idle flag.
  void FirstPaint(int pixelsPerInch);
  // The close request: false when refused (idle flag 0); otherwise the final
  // start-comm request is sent, the port closed and deleted, and true returned.
  bool OnCloseRequest();
  bool IsCommandEnabled(int commandId) const;
  // Runs the handler of a menu or toolbar command.
  void RunCommand(int commandId);
  bool FirstPaintPending() const { return firstPaint_ != 0; }
  // True once a close request was accepted; the front end then closes the window.
  bool Closed() const { return closed_; }
  int OperationFlag() const { return operation_; }
  bool LastVerifyPassed() const { return lastVerifyPassed_; }
  int PixelsPerInch() const { return pixelsPerInch_; }

  // ---- transcript (the model of the transcript control) ----
  const CTranscript& Transcript() const { return transcript_; }
  std::string TranscriptText() const { return transcript_.Text(); }
  // Read the whole text, add, write back, scroll to the end.
  void AppendText(const std::string& text);
  // Set the whole text (show a copy).
  void ShowText(const std::string& text);
  // Append at the caret end, without rewriting the text.
  void InsertAtEnd(const std::string& text);
  void ReplaceLastLine(const std::string& text) override;
  void TrimLog();
  void ScrollToEnd() override;
  void SetStatusColour(StatusColour colour);

  // ---- receive state ----
  void ReceiveBytes(const std::uint8_t* bytes, std::uint32_t count) override;
  void SetReceiveMode(int mode, bool reset);
  void PumpPendingMessages() override;
  void ShowPortMessage(const std::string& text) override;

  // ---- link host ----
  IByteSink& Sink() override;
  CReceiveState& Receive() override { return rx_; }
  IClock& Clock() override;
  bool WaitReply(int mode, int polls) override;
  const FlashSpace& Space(int index) const override;
  int RouteLength() const override { return conn_.routeLength; }
  void MessageBox(const std::string& text) override;
  void SetWaitCursor(bool on) override;
  void TransferProgress(bool verifying, std::uint32_t done, std::uint32_t total) override;

  // ---- UPS connection (connection/) ----
  int PlugAndPlayStep();
  int CaptureAndNegotiate(std::uint32_t requestedSpeed, int& status);
  int Negotiate(std::uint32_t requestedSpeed, int& status);
  int IdentificationStep();
  int StartupHandshake();
  int ServiceModeStep();
  int FlashCapabilitiesStep();
  void DecodeAcknowledge(const std::uint8_t* data, std::uint16_t count);
  int StartCommProbe();
  void OnConnect();
  void OnSelectSubmodule();

  // ---- ROM image (rom/) ----
  int OnOpen();
  void LoadFromCommandLine();
  int ReadHeader();
  int FindFlashSpace(std::uint32_t address, std::uint8_t moduleCode) const;
  void CloseImage();
  // Opens a named file as the Open command does after its dialog (drag and drop,
  // the command-line front end); returns what the Open command returns.
  int OpenNamedFile(const std::string& path);

  // ---- flash programming and verification (flash/) ----
  void OnProgramUps();
  void OnVerifyProgram();
  bool VerifyProgram();

  // ---- configuration dialog (app/ConfigDialog.cpp) ----
  void OnConfiguration();

  CConnectionState& Connection() { return conn_; }
  const CConnectionState& Connection() const { return conn_; }
  CRomImageState& Rom() { return rom_; }
  const CRomImageState& Rom() const { return rom_; }
  CLoaderApp& App() { return app_; }
  IView& View() { return view_; }
  CUpsLink& Link();
  CSerialPort* Port();

 private:
  // Select SubModule's request and reply, then its follow-up; false ends the command.
  bool SendSubmoduleRequest(const SubmoduleRoute& route);
  // Opens the port with its settings texts (and device override).
  bool OpenConfiguredPort();
  // A port whose device vanished is opened again; a failed open leaves it lost.
  void ReopenLostPort();
  bool LineLost();
  bool SubmoduleFollowUp();
  // Steps of the connect sequence (connection/).
  void FallBackToFixedSpeeds();
  bool RequestBlock(std::uint8_t command, std::uint8_t expectedBlock, StringId timeoutLine,
                    StringId receivedLine, std::uint8_t* data, std::uint16_t& count);
  void StoreIdBlock(const std::uint8_t* data);
  int StoreConfigurationBlock(const std::uint8_t* data);
  void RecordSpaces(std::string& text, const std::uint8_t* data, std::uint16_t count);

  CLoaderApp& app_;
  IView& view_;
  CTranscript transcript_;
  CReceiveState rx_;
  CConnectionState conn_;
  CRomImageState rom_;
  int firstPaint_ = 1;
  int operation_ = 0;
  int pixelsPerInch_ = 1;
  bool lastVerifyPassed_ = false;
  bool closed_ = false;
};
