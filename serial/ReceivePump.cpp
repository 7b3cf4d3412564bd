#include <cerrno>
#include <system_error>

#include "resources/Strings.h"
#include "serial/SerialPort.h"

namespace {

constexpr std::uint32_t kPumpChunkBytes = 80;
constexpr int kStopPollCount = 200;
constexpr int kStopPollMs = 10;

// Errors after which the device will never deliver again: reading on would
// only spin.
bool IsDeviceGone(int error) {
  return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

}  // namespace

void CSerialPort::StartPump() {
  // Marked before the thread exists, so a Close that comes at once still
  // finds a pump to stop.
  pumpEnded_.store(false);
  pumpRunning_.store(1);
  try {
    pump_ = std::thread(&CSerialPort::ReceivePump, this);
  } catch (const std::system_error&) {
    // The port stays open without receiving; the waiting commands time out.
    pumpRunning_.store(0);
    return;
  }
  pumpRecorded_ = true;
}

void CSerialPort::ReceivePump() {
  while (pumpRunning_.load() != 0) {
    DeviceEvent event = device_->WaitEvent();
    if (pumpRunning_.load() == 0) {
      break;
    }
    if (event == DeviceEvent::Readable && DeliverChunk()) {
      continue;
    }
    if (event == DeviceEvent::HungUp) {
      KeepHangUpError();
    }
    if (event == DeviceEvent::Readable || event == DeviceEvent::HungUp) {
      // The error is kept first: whoever sees the loss finds its cause.
      deviceLost_.store(true);
      device_->PumpParked();
      WaitForStopRequest();
      break;
    }
  }
  pumpEnded_.store(true);
  pumpRunning_.store(1);
  device_->PumpEnded();
}

// False when the device has gone; the error is kept either way.
bool CSerialPort::DeliverChunk() {
  std::uint8_t buffer[kPumpChunkBytes];
  std::uint32_t count = 0;
  int error = ReadChunk(buffer, kPumpChunkBytes, count);
  if (error != 0) {
    return !IsDeviceGone(error);
  }
  IByteReceiver* receiver = receiver_.load(std::memory_order_acquire);
  if (count > 0 && receiver != nullptr) {
    receiver->ReceiveBytes(buffer, count);
  }
  return true;
}

void CSerialPort::KeepHangUpError() {
  // A hang-up reported without a failed read still needs an error to show.
  std::uint8_t probe = 0;
  std::uint32_t count = 0;
  if (ReadChunk(&probe, 1, count) == 0) {
    KeepError(EIO);
  }
}

void CSerialPort::WaitForStopRequest() {
  std::unique_lock<std::mutex> lock(stopMutex_);
  stopRequested_.wait(lock, [this] { return pumpRunning_.load() == 0; });
}

void CSerialPort::ForgetEndedPump() {
  // A pump that missed its stop but ended later leaves its acknowledgement
  // behind; clear it so the next stop does not wait for a thread that is gone.
  if (pumpRecorded_ && pumpEnded_.load()) ForgetStoppedPump();
}

void CSerialPort::ForgetStoppedPump() {
  pump_.join();
  pumpRecorded_ = false;
  pumpEnded_.store(false);
  pumpRunning_.store(0);
}

void CSerialPort::StopPump() {
  ForgetEndedPump();
  if (pumpRunning_.load() == 0) {
    return;
  }
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    pumpRunning_.store(0);
  }
  stopRequested_.notify_all();
  if (deviceLost_.load()) {
    // The pump is parked, or about to park, on stopRequested_ and touches the
    // device no more: it ends at once, so wait for it rather than for polls
    // that a simulated clock may run through before it has been scheduled.
    ForgetStoppedPump();
    return;
  }
  device_->Wake();
  for (int i = 0; i < kStopPollCount && pumpRunning_.load() == 0; ++i) {
    clock_.SleepMs(kStopPollMs);
    PumpPendingMessages();
  }
  if (pumpRunning_.load() != 0) {
    ForgetStoppedPump();
    return;
  }
  if (owner_ != nullptr) {
    owner_->ShowPortMessage(Text(kStrFailedToStopPump));
  }
}

int CSerialPort::ReadChunk(std::uint8_t* buffer, std::uint32_t max, std::uint32_t& count) {
  count = 0;
  if (!IsOpen()) {
    return EBADF;
  }
  std::size_t got = 0;
  // Locals only: a read here and a write on the other thread never share a
  // request record.
  if (int error = device_->Read(buffer, max, got); error != 0) {
    KeepError(error);
    return error;
  }
  count = static_cast<std::uint32_t>(got);
  return 0;
}

bool CSerialPort::ReadAvailable(std::uint8_t* buffer, std::uint32_t max, std::uint32_t& count) {
  count = 0;
  if (!IsOpen()) {
    return false;
  }
  return ReadChunk(buffer, max, count) == 0 && count > 0;
}

bool CSerialPort::WriteByte(std::uint8_t byte) {
  if (!IsOpen()) {
    return false;
  }
  std::size_t written = 0;
  if (int error = device_->Write(&byte, 1, written); error != 0) {
    KeepError(error);
    return false;
  }
  if (written != 1) {
    KeepError(EAGAIN);
    return false;
  }
  return true;
}
