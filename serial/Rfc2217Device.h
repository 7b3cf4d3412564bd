#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/SerialDevice.h"
#include "serial/Socket.h"
#include "serial/TelnetCodec.h"

// A serial line on a network server that speaks RFC 2217 (ser2net, console
// servers), named rfc2217://HOST:PORT. A reader thread of its own takes
// everything the server sends, so the server's confirmations are seen
// whether or not the receive pump runs. Every line change waits for the
// server to confirm it, within a bound; a dropped connection ends every wait
// at once. Written bytes are gathered until the frame ends (Flush), so a
// frame costs one network packet rather than one per byte.
class CRfc2217Device final : public ISerialDevice {
 public:
  CRfc2217Device() = default;
  ~CRfc2217Device() override;
  CRfc2217Device(const CRfc2217Device&) = delete;
  CRfc2217Device& operator=(const CRfc2217Device&) = delete;

  // COM numbers name the platform's own ports (CDeviceByName asks that
  // backend); a network port is only ever named by its address.
  std::string PortDeviceName(int) const override { return {}; }
  PortError Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override;
  PortError Configure(const LineSettings& settings) override;
  LineSetting RefusedSetting() const override;
  PortError SetBaudRate(std::uint32_t baud) override;
  PortError SetDataBits(int dataBits) override;
  PortError SetModemLine(ModemLine line, bool on) override;
  // DSR and the others as the server last notified them; all off until the
  // first notification, which is no error.
  PortError GetModemStatus(ModemStatus& status) override;
  PortError Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) override;
  PortError Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override;
  PortError Flush() override;
  DeviceEvent WaitEvent() override;
  void Wake() override;
  std::string FailureDetail() const override;

 private:
  struct Request {
    std::uint8_t command;
    std::vector<std::uint8_t> value;
  };

  PortError Negotiate();
  PortError NegotiationFailure(std::unique_lock<std::mutex>& lock);
  // Sends the commands together and waits until the server has answered each.
  PortError Ask(const std::vector<Request>& requests);
  PortError SendLocked(std::vector<std::uint8_t> bytes);
  PortError FlushLocked();
  void ReadLoop();
  void Take(const std::uint8_t* bytes, std::size_t count);
  void TakeEvent(const telnet::Event& event);
  bool ValuesTaken(const std::vector<Request>& requests);
  void KeepServerWords(const std::vector<std::uint8_t>& data);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::mutex sendMutex_;
  SocketHandle socket_ = kNoSocket;
  std::thread reader_;
  telnet::CReceiver receiver_;
  telnet::COptions options_;
  std::deque<std::uint8_t> rx_;
  std::vector<std::uint8_t> pendingOut_;
  std::map<std::uint8_t, unsigned> answers_;                    // answers seen per server command
  std::map<std::uint8_t, std::vector<std::uint8_t>> answered_;  // the last value of each
  ModemStatus modem_;
  bool open_ = false;
  bool negotiated_ = false;
  bool lost_ = false;
  bool readerDone_ = false;  // the reader has seen the end of the connection
  bool woken_ = false;
  std::string serverWords_;
  bool serverWordsDone_ = false;
  std::string failureDetail_;
  // What the last line change failed on: the speed or data size the server
  // did not take, or the line as a whole.
  LineSetting refused_ = LineSetting::NetworkLine;
};
