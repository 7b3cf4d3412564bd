#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/ReceiveState.h"
#include "serial/SerialDevice.h"
#include "serial/SerialPort.h"

// Collects what the pump delivers, chunk by chunk.
class CChunkCollector final : public IByteReceiver {
 public:
  void ReceiveBytes(const std::uint8_t* bytes, std::uint32_t count) override;
  // Waits (real time, bounded) until at least total bytes have arrived.
  bool WaitForBytes(std::size_t total);
  std::vector<std::size_t> ChunkSizes();
  std::vector<std::uint8_t> Bytes();

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::size_t> chunks_;
  std::vector<std::uint8_t> bytes_;
};

// A scripted device: the test feeds input and sets the results of the calls.
class CFakeDevice final : public ISerialDevice {
 public:
  int Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override;
  int Configure(const LineSettings& settings) override;
  int SetBaudRate(std::uint32_t baud) override;
  int SetDataBits(int dataBits) override;
  int SetModemLine(ModemLine line, bool on) override;
  int GetModemStatus(ModemStatus& status) override;
  int Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) override;
  int Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override;
  DeviceEvent WaitEvent() override;
  void Wake() override;

  void Feed(const std::vector<std::uint8_t>& bytes);
  void HangUp();
  // While deaf, Wake() does not end a wait: the pump misses its stop.
  void SetDeaf(bool deaf);
  bool WaitUntilDrained();
  // Until the pump has entered its first wait.
  bool WaitUntilWaiting();
  int WaitCount();

  std::string openedPath;
  LineSettings line;
  int openError = 0;
  int callError = 0;  // the result of every line and modem call
  ModemStatus status;
  bool dtr = false;
  bool rts = false;
  std::vector<std::uint8_t> written;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::uint8_t> input_;
  bool open_ = false;
  bool woken_ = false;
  bool deaf_ = false;
  bool hungUp_ = false;
  int waits_ = 0;
  int emptiedAtWait_ = -1;
};

class CRecordingOwner final : public IPortOwner {
 public:
  void ShowPortMessage(const std::string& text) override { messages.push_back(text); }
  void PumpPendingMessages() override { ++pumps; }
  std::vector<std::string> messages;
  int pumps = 0;
};
