#include <cerrno>

#include "serial/SerialPort.h"

namespace {

constexpr std::uint32_t kPumpChunkBytes = 80;
constexpr int kStopPollCount = 200;
constexpr int kStopPollMs = 10;

}  // namespace

void CSerialPort::StartPump() {
  // Marked before the runner starts, so a Close that comes at once still
  // finds a pump to stop.
  pumpEnded_.store(false);
  pumpRunning_.store(1);
  if (!pumpRunner_->Start(*this)) {
    // The port stays open without receiving; the waiting commands time out.
    pumpRunning_.store(0);
    return;
  }
  pumpRecorded_ = true;
}

bool CSerialPort::Step(DeviceEvent event) {
  if (pumpRunning_.load() != 0 && Receive(event)) return true;
  // The acknowledgement a stop polls for; a pump that ended by itself leaves
  // it for the next stop or open to find.
  pumpEnded_.store(true);
  pumpRunning_.store(1);
  return false;
}

// False when the device has gone: the pump then ends, as every wait would
// return at once and reading on would only spin.
bool CSerialPort::Receive(DeviceEvent event) {
  if (event == DeviceEvent::Readable && DeliverChunk()) return true;
  if (event == DeviceEvent::HungUp) KeepHangUpError();
  if (event != DeviceEvent::Readable && event != DeviceEvent::HungUp) return true;
  // The error is kept first: whoever sees the loss finds its cause.
  deviceLost_.store(true);
  return false;
}

// False when the device has gone; the error is kept either way.
bool CSerialPort::DeliverChunk() {
  std::uint8_t buffer[kPumpChunkBytes];
  std::uint32_t count = 0;
  if (PortError error = ReadChunk(buffer, kPumpChunkBytes, count)) return !error.MeansDeviceGone();
  IByteReceiver* receiver = receiver_.load(std::memory_order_acquire);
  if (count > 0 && receiver != nullptr) receiver->ReceiveBytes(buffer, count);
  return true;
}

void CSerialPort::KeepHangUpError() {
  // A hang-up reported without a failed read still needs an error to show.
  std::uint8_t probe = 0;
  std::uint32_t count = 0;
  if (!ReadChunk(&probe, 1, count)) lastError_.store(PortError::Posix(EIO));
}

void CSerialPort::ForgetEndedPump() {
  // A pump that ended by itself (its device lost, or its stop missed) leaves
  // its acknowledgement behind; clear it so the next stop does not wait for a
  // pump that is gone.
  if (pumpRecorded_ && pumpEnded_.load()) ForgetStoppedPump();
}

void CSerialPort::ForgetStoppedPump() {
  pumpRunner_->Join();
  pumpRecorded_ = false;
  pumpEnded_.store(false);
  pumpRunning_.store(0);
}

void CSerialPort::StopPump() {
  ForgetEndedPump();
  if (pumpRunning_.load() == 0) return;
  pumpRunning_.store(0);
  if (deviceLost_.load()) {
    // The pump has seen its device go and ends without another wait: wait
    // for it rather than poll.
    ForgetStoppedPump();
    return;
  }
  pumpRunner_->Wake();
  for (int i = 0; i < kStopPollCount && pumpRunning_.load() == 0; ++i) {
    clock_.SleepMs(kStopPollMs);
    if (owner_ != nullptr) owner_->PumpPendingMessages();
  }
  if (pumpRunning_.load() != 0) {
    ForgetStoppedPump();
    return;
  }
  if (owner_ != nullptr) owner_->PumpStopFailed();
}

PortError CSerialPort::ReadChunk(std::uint8_t* buffer, std::uint32_t max, std::uint32_t& count) {
  count = 0;
  if (!IsOpen()) return PortError::Posix(EBADF);
  std::size_t got = 0;
  // Locals only: a read here and a write on the other thread never share a
  // request record.
  if (PortError error = device_->Read(buffer, max, got); !Succeeded(error)) return error;
  count = static_cast<std::uint32_t>(got);
  return {};
}

void CSerialPort::EndFrame() {
  if (IsOpen()) Succeeded(device_->Flush());
}

bool CSerialPort::WriteByte(std::uint8_t byte) {
  if (!IsOpen()) return false;
  std::size_t written = 0;
  if (!Succeeded(device_->Write(&byte, 1, written))) return false;
  if (written != 1) {
    lastError_.store(PortError::Posix(EAGAIN));
    return false;
  }
  return true;
}
