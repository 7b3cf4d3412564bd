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

// Where an opened image's load address is checked against the flash space
// table: at once, or, behind a submodule route, once the module has reported
// its own spaces (CheckModuleRange).
enum class RangeCheck { AtOnce, AfterModuleSpaces };

// The hub: holds the receive state, the connection fields and the ROM image
// state, runs every command synchronously, and reaches the user only through
// its IView. Toolkit-neutral; the front ends drive it.
class CMainFrame : public IPortOwner, public ILinkHost {
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
  int OperationFlag() const { return operation_; }
  bool LastVerifyPassed() const { return lastVerifyPassed_; }

  // ---- transcript (the model of the transcript control) ----
  const CTranscript& Transcript() const { return transcript_; }
  std::string TranscriptText() const { return transcript_.Text(); }
  // Adds to the text and scrolls to the end.
  void AppendText(const std::string& text);
  // Set the whole text (show a copy).
  void ShowText(const std::string& text);
  void ReplaceLastLine(const std::string& text) override;
  void TrimLog();
  void ScrollToEnd() override;

  // ---- receive state ----
  void PumpPendingMessages() override;

  // ---- link host ----
  IByteSink& Sink() override;
  CReceiveState& Receive() override { return rx_; }
  IClock& Clock() override;
  bool WaitReply(int mode, int polls) override;
  const FlashSpace& Space(int index) const override;
  int RouteLength() const override { return conn_.routeLength; }
  void MessageBox(const std::string& text) override;
  void PumpStopFailed() override;
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
  void DecodeAcknowledge(const DecodedReply& reply);
  int StartCommProbe();
  void OnConnect();
  void OnSelectSubmodule();

  // ---- ROM image (rom/) ----
  int OnOpen(RangeCheck check = RangeCheck::AtOnce);
  void LoadFromCommandLine();
  int ReadHeader(RangeCheck check = RangeCheck::AtOnce);
  // The first of table entries first .. end - 1 that can take the image; 0 for none.
  int FindFlashSpace(std::uint32_t address, std::uint8_t moduleCode, int first, int end) const;
  // The range check that Read Header left to the module: against the entries
  // from firstModuleSpace on, its line put where Read Header left room for it.
  void CheckModuleRange(int firstModuleSpace);
  void CloseImage();
  // Opens a named file as the Open command does after its dialog (drag and drop,
  // the command-line front end); returns what the Open command returns.
  int OpenNamedFile(const std::string& path, RangeCheck check = RangeCheck::AtOnce);

  // ---- flash programming and verification (flash/) ----
  void OnProgramUps();
  // Program UPS's checks before its start-flash request: connected, an image
  // with ROM data for a writable space, and that it fits (else its box).
  bool ProgramCanStart();
  void OnVerifyProgram();
  bool VerifyProgram();

  // ---- configuration dialog (app/ConfigDialog.cpp) ----
  void OnConfiguration();

  CConnectionState& Connection() { return conn_; }
  const CConnectionState& Connection() const { return conn_; }
  CRomImageState& Rom() { return rom_; }
  const CRomImageState& Rom() const { return rom_; }
  CLoaderApp& App() { return app_; }
  const CLoaderApp& App() const { return app_; }
  IView& View() { return view_; }
  CUpsLink& Link();
  CSerialPort* Port();

 private:
  // Select SubModule's request and reply, then its follow-up; false ends the command.
  bool SendSubmoduleRequest(const SubmoduleRoute& route);
  // Opens the port with its settings texts (and device override).
  bool OpenConfiguredPort();
  void NoteRefusedSetting();
  bool LineLost();
  bool SubmoduleFollowUp();
  // Opens the file as the image and names it in the title; false after its box.
  bool OpenImage(const std::string& path);
  // Selects the image's flash space among entries first .. end - 1 and
  // returns its line: the load address, or the range error, which closes the image.
  std::string SelectImageSpace(std::uint32_t headerLoadAddress, int first, int end);
  // Steps of the connect sequence (connection/).
  void FallBackToFixedSpeeds();
  // The start-comm request after the start-up pause, with its attempt line;
  // without a reply within `polls` the time-out line takes its place. `copy`
  // gets the transcript from before the attempt line. True when answered.
  bool StartComm(int polls, std::string& copy);
  bool RequestBlock(std::uint8_t command, std::uint8_t expectedBlock, StringId timeoutLine,
                    StringId receivedLine, DecodedReply& reply);
  void StoreIdBlock(const std::uint8_t* data);
  int StoreConfigurationBlock(const std::uint8_t* data);
  void RecordSpaces(std::string& text, const DecodedReply& reply);
  // Program UPS after its start, and what follows a programmed image (flash/).
  void ProgramOpenImage(std::string& copy);
  void VerifyAndReset();
  // The start Program UPS and Verify Program share (flash/TransferStart.cpp):
  // the image's commands go grey; without `ready` the aborted line ends the
  // command (false); otherwise the log is trimmed and `copy` gets the
  // transcript with the started line.
  void DisableImageCommands();
  bool BeginTransfer(bool ready, StringId abortedLine, StringId startedLine, std::string& copy);
  // Reads the open image's ROM data. A failed read has shown its box and, when
  // the file came up short, `failedLine` appended to `copy` in red.
  bool ReadImageData(std::vector<std::uint8_t>& data, std::string& copy, StringId failedLine);

  CLoaderApp& app_;
  IView& view_;
  CTranscript transcript_;
  CReceiveState rx_;
  CConnectionState conn_;
  CRomImageState rom_;
  int firstPaint_ = 1;
  int operation_ = 0;
  bool lastVerifyPassed_ = false;
  bool closed_ = false;
};
