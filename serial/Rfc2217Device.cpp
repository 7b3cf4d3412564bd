#include "serial/Rfc2217Device.h"

#include <cerrno>
#include <chrono>

#include "serial/NetworkAddress.h"
#include "serial/NetworkFailure.h"

namespace {

using namespace std::chrono_literals;
using telnet::Event;

// The connect and the option negotiation together stay within 5 seconds.
constexpr int kConnectMs = 3000;
constexpr auto kNegotiateBound = 1500ms;
// After COM-PORT-OPTION is accepted, the wait for the server's first answer
// (to the modem-state mask): a server that closes instead was refusing.
constexpr auto kFirstAnswerBound = 1000ms;
// How long a line change waits for the server to confirm it.
constexpr auto kConfirmBound = 2000ms;
// How long a closed connection's last bytes may take to reach the reader.
constexpr auto kReaderEndBound = 1000ms;
// Gathered bytes go out at this size even before the frame ends.
constexpr std::size_t kSendChunkBytes = 1024;
constexpr std::size_t kMaxServerWords = 200;

PortError Failure(NetworkFailure failure) {
  return PortError::Network(static_cast<int>(failure));
}

std::vector<std::uint8_t> BigEndian32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

std::uint8_t ParityValue(char parity) {
  switch (parity) {
    case 'O':
      return 2;
    case 'E':
      return 3;
    case 'M':
      return 4;
    case 'S':
      return 5;
    default:
      return 1;
  }
}

bool IsTextByte(std::uint8_t byte) {
  return (byte >= 0x20 && byte < 0x7F) || byte == '\t';
}

}  // namespace

CRfc2217Device::~CRfc2217Device() {
  Close();
}

PortError CRfc2217Device::Open(const std::string& path) {
  Close();
  failureDetail_.clear();
  NetworkAddress address;
  if (ParseNetworkAddress(path, address) != AddressProblem::None) return Failure(NetworkFailure::BadAddress);
  SocketHandle handle = kNoSocket;
  if (PortError error = SocketConnect(address.host, address.port, kConnectMs, handle)) return error;
  {
    std::lock_guard lock(mutex_);
    socket_ = handle;
    receiver_ = telnet::CReceiver();
    options_ = telnet::COptions();
    rx_.clear();
    pendingOut_.clear();
    answers_.clear();
    modem_ = ModemStatus{};
    negotiated_ = lost_ = woken_ = readerDone_ = false;
    serverWords_.clear();
    serverWordsDone_ = false;
  }
  reader_ = std::thread(&CRfc2217Device::ReadLoop, this);
  if (PortError error = Negotiate()) {
    std::unique_lock lock(mutex_);
    const std::string words = serverWords_;
    lock.unlock();
    Close();
    if (error == Failure(NetworkFailure::ServerLine)) failureDetail_ = words;
    return error;
  }
  std::lock_guard lock(mutex_);
  open_ = true;
  return {};
}

// A send that fails here means the server closed: that is judged like any
// other early close, by what the server said before it.
PortError CRfc2217Device::Negotiate() {
  const bool offered = !SendLocked(telnet::OpeningOffers());
  std::unique_lock lock(mutex_);
  if (!offered) return NegotiationFailure(lock);
  changed_.wait_for(lock, kNegotiateBound,
                    [this] { return options_.ComPortAccepted() || options_.ComPortRefused() || lost_; });
  if (!options_.ComPortAccepted() || lost_) return NegotiationFailure(lock);
  // DSR comes only in notifications, which the server sends once asked to;
  // its answer also shows that it serves the line rather than refusing it.
  std::vector<std::uint8_t> mask;
  telnet::AppendComPortCommand(mask, telnet::kSetModemStateMask, {0xFF});
  lock.unlock();
  const bool asked = !SendLocked(std::move(mask));
  lock.lock();
  if (!asked) return NegotiationFailure(lock);
  changed_.wait_for(lock, kFirstAnswerBound, [this] { return !answers_.empty() || lost_; });
  if (lost_) return NegotiationFailure(lock);
  negotiated_ = true;
  return {};
}

// Why the server was not taken as an RFC 2217 server; mutex_ held. A send
// may find the connection closed before the reader has taken the line the
// server sent first: what the server said is judged once the reader is done.
PortError CRfc2217Device::NegotiationFailure(std::unique_lock<std::mutex>& lock) {
  if (lost_) changed_.wait_for(lock, kReaderEndBound, [this] { return readerDone_; });
  if (!serverWords_.empty()) return Failure(NetworkFailure::ServerLine);
  return lost_ ? Failure(NetworkFailure::ClosedEarly) : Failure(NetworkFailure::NotTelnet);
}

void CRfc2217Device::Close() {
  if (socket_ == kNoSocket) return;
  SocketShutdown(socket_);
  if (reader_.joinable()) reader_.join();
  SocketClose(socket_);
  std::lock_guard lock(mutex_);
  socket_ = kNoSocket;
  open_ = false;
}

bool CRfc2217Device::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

PortError CRfc2217Device::Configure(const LineSettings& settings) {
  const std::vector<Request> line = {
      {telnet::kSetBaudRate, BigEndian32(settings.baud)},
      {telnet::kSetDataSize, {static_cast<std::uint8_t>(settings.dataBits)}},
      {telnet::kSetParity, {ParityValue(settings.parity)}},
      {telnet::kSetStopSize, {static_cast<std::uint8_t>(settings.stopBits == 2 ? 2 : 1)}},
      {telnet::kSetControl, {telnet::kControlNoFlow}},
  };
  if (PortError error = Ask(line)) return error;
  // A server line without modem lines may leave these unanswered, as a pty
  // refuses them: the line is usable all the same.
  const PortError raised =
      Ask({{telnet::kSetControl, {telnet::kControlDtrOn}}, {telnet::kSetControl, {telnet::kControlRtsOn}}});
  return raised == Failure(NetworkFailure::NoConfirmation) ? PortError{} : raised;
}

LineSetting CRfc2217Device::RefusedSetting() const {
  std::lock_guard lock(mutex_);
  return refused_;
}

PortError CRfc2217Device::SetBaudRate(std::uint32_t baud) {
  return Ask({{telnet::kSetBaudRate, BigEndian32(baud)}});
}

PortError CRfc2217Device::SetDataBits(int dataBits) {
  return Ask({{telnet::kSetDataSize, {static_cast<std::uint8_t>(dataBits)}}});
}

PortError CRfc2217Device::SetModemLine(ModemLine line, bool on) {
  const std::uint8_t value = line == ModemLine::Dtr ? (on ? telnet::kControlDtrOn : telnet::kControlDtrOff)
                                                    : (on ? telnet::kControlRtsOn : telnet::kControlRtsOff);
  return Ask({{telnet::kSetControl, {value}}});
}

PortError CRfc2217Device::GetModemStatus(ModemStatus& status) {
  std::lock_guard lock(mutex_);
  status = modem_;
  if (!open_) return PortError::Posix(EBADF);
  return lost_ ? Failure(NetworkFailure::ConnectionLost) : PortError{};
}

PortError CRfc2217Device::Ask(const std::vector<Request>& requests) {
  std::unique_lock lock(mutex_);
  refused_ = LineSetting::NetworkLine;
  if (!open_) return PortError::Posix(EBADF);
  if (lost_) return Failure(NetworkFailure::ConnectionLost);
  // Bytes written before the change go first, as on a local line.
  std::vector<std::uint8_t> bytes = std::move(pendingOut_);
  pendingOut_.clear();
  std::map<std::uint8_t, unsigned> wanted;
  for (const Request& request : requests) {
    telnet::AppendComPortCommand(bytes, request.command, request.value);
    const std::uint8_t answer = request.command + telnet::kServerOffset;
    wanted[answer] = (wanted.count(answer) != 0 ? wanted[answer] : answers_[answer]) + 1;
  }
  lock.unlock();
  if (PortError error = SendLocked(std::move(bytes))) return error;
  lock.lock();
  const bool answered = changed_.wait_for(lock, kConfirmBound, [&] {
    if (lost_) return true;
    for (const auto& [command, count] : wanted) {
      if (answers_[command] < count) return false;
    }
    return true;
  });
  if (lost_) return Failure(NetworkFailure::ConnectionLost);
  if (!answered) return Failure(NetworkFailure::NoConfirmation);
  return ValuesTaken(requests) ? PortError{} : Failure(NetworkFailure::NotTaken);
}

// The server answers a speed or data size with the one its line now has: one
// it could not set comes back as the old one, and the line would be wrong.
// mutex_ held.
bool CRfc2217Device::ValuesTaken(const std::vector<Request>& requests) {
  for (const Request& request : requests) {
    if (request.command != telnet::kSetBaudRate && request.command != telnet::kSetDataSize) continue;
    const auto answer = static_cast<std::uint8_t>(request.command + telnet::kServerOffset);
    if (answered_[answer] != request.value) {
      refused_ = request.command == telnet::kSetBaudRate ? LineSetting::BaudRate : LineSetting::DataBits;
      return false;
    }
  }
  return true;
}

PortError CRfc2217Device::SendLocked(std::vector<std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  std::lock_guard sendLock(sendMutex_);
  if (!SocketSend(socket_, bytes.data(), bytes.size())) return {};
  // A send fails only when the connection is gone; the reader sees it too.
  std::lock_guard lock(mutex_);
  lost_ = true;
  changed_.notify_all();
  return Failure(NetworkFailure::ConnectionLost);
}

PortError CRfc2217Device::Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) {
  got = 0;
  std::lock_guard lock(mutex_);
  if (rx_.empty()) return lost_ ? Failure(NetworkFailure::ConnectionLost) : PortError{};
  while (got < max && !rx_.empty()) {
    buffer[got++] = rx_.front();
    rx_.pop_front();
  }
  return {};
}

PortError CRfc2217Device::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) {
  written = 0;
  std::unique_lock lock(mutex_);
  if (!open_) return PortError::Posix(EBADF);
  if (lost_) return Failure(NetworkFailure::ConnectionLost);
  telnet::AppendEscaped(pendingOut_, bytes, count);
  written = count;
  if (pendingOut_.size() < kSendChunkBytes) return {};
  lock.unlock();
  return Flush();
}

PortError CRfc2217Device::Flush() {
  std::unique_lock lock(mutex_);
  std::vector<std::uint8_t> bytes = std::move(pendingOut_);
  pendingOut_.clear();
  lock.unlock();
  return SendLocked(std::move(bytes));
}

DeviceEvent CRfc2217Device::WaitEvent() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return woken_ || lost_ || !rx_.empty(); });
  if (woken_) {
    woken_ = false;
    return DeviceEvent::Woken;
  }
  return rx_.empty() ? DeviceEvent::HungUp : DeviceEvent::Readable;
}

void CRfc2217Device::Wake() {
  std::lock_guard lock(mutex_);
  woken_ = true;
  changed_.notify_all();
}

std::string CRfc2217Device::FailureDetail() const {
  return failureDetail_;
}

void CRfc2217Device::ReadLoop() {
  std::uint8_t buffer[1024];
  for (;;) {
    std::size_t got = 0;
    if (SocketReceive(socket_, buffer, sizeof buffer, got) || got == 0) break;
    Take(buffer, got);
  }
  std::lock_guard lock(mutex_);
  lost_ = readerDone_ = true;
  changed_.notify_all();
}

void CRfc2217Device::Take(const std::uint8_t* bytes, std::size_t count) {
  std::vector<std::uint8_t> data;
  std::vector<Event> events;
  std::vector<std::uint8_t> replies;
  {
    std::lock_guard lock(mutex_);
    receiver_.Feed(bytes, count, data, events);
    for (const Event& event : events) {
      if (event.kind == Event::ComPort) {
        TakeEvent(event);
      } else {
        const std::vector<std::uint8_t> reply = options_.Answer(event);
        replies.insert(replies.end(), reply.begin(), reply.end());
      }
    }
    if (negotiated_) {
      rx_.insert(rx_.end(), data.begin(), data.end());
    } else {
      KeepServerWords(data);
    }
    changed_.notify_all();
  }
  if (!replies.empty()) {
    std::lock_guard sendLock(sendMutex_);
    SocketSend(socket_, replies.data(), replies.size());
  }
}

void CRfc2217Device::TakeEvent(const Event& event) {
  ++answers_[event.command];
  answered_[event.command] = event.value;
  if (event.command == telnet::kNotifyModemState + telnet::kServerOffset && !event.value.empty()) {
    const telnet::ModemBits bits = telnet::ParseModemState(event.value[0]);
    modem_ = ModemStatus{bits.cts, bits.dsr, bits.ring, bits.carrier};
  }
}

// A server that refuses the line says why in a line of text ("Port already
// in use"): its first line is kept to be quoted, if it is text at all.
void CRfc2217Device::KeepServerWords(const std::vector<std::uint8_t>& data) {
  for (std::uint8_t byte : data) {
    if (byte == '\r' || byte == '\n') {
      if (!serverWords_.empty()) serverWordsDone_ = true;
      continue;
    }
    if (serverWordsDone_) continue;
    if (!IsTextByte(byte) || serverWords_.size() >= kMaxServerWords) {
      serverWordsDone_ = true;
      continue;
    }
    serverWords_.push_back(static_cast<char>(byte));
  }
}
