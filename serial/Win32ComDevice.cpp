#include "serial/Win32ComDevice.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "serial/DeviceByName.h"

namespace {

constexpr DWORD kEventMask = EV_RXCHAR | EV_ERR;
// A write may take this long per byte, plus the constant, before it gives up.
constexpr DWORD kWriteMsPerByte = 10;
constexpr DWORD kWriteConstantMs = 10;
// Our own bound on an overlapped call that the driver should have ended: its
// time-out, and this much more for a loaded machine.
constexpr DWORD kCallSlackMs = 500;
// Where WaitCommEvent cannot wait (Wine on a line without modem lines ends
// it at once), the queue is looked at this often instead.
constexpr DWORD kPollMs = 2;
// A wait that ends this many times in a row without bytes is not trusted to
// wait again: the pump looks at the queue at the poll interval instead.
constexpr int kEmptyWakesBeforePolling = 4;

HANDLE AsHandle(void* handle) {
  return static_cast<HANDLE>(handle);
}

int LastErrorOr(BOOL ok) {
  return ok ? 0 : static_cast<int>(GetLastError());
}

// "\\.\COMn" reaches every COM port; the plain "COMn" only COM1 to COM9.
std::string FullDeviceName(const std::string& path) {
  return ComPortNumber(path) > 0 && path.rfind("\\\\.\\", 0) != 0 ? "\\\\.\\" + path : path;
}

// The overlapped record of a read or a write, with its own event. The event
// handle in the record has its low bit set, which keeps the completion off
// any completion port: we use none, and Wine would otherwise make one more
// round trip to its server for every byte written.
struct CallRecord {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  OVERLAPPED record{};

  CallRecord() { record.hEvent = reinterpret_cast<HANDLE>(reinterpret_cast<ULONG_PTR>(event) | 1); }
  ~CallRecord() {
    if (event != nullptr) CloseHandle(event);
  }
  CallRecord(const CallRecord&) = delete;
  CallRecord& operator=(const CallRecord&) = delete;
};

// Ends an overlapped call we issued: its result, or ERROR_TIMEOUT once our
// bound has passed (the call is then cancelled and awaited, so the record is
// free again). The event is not reset before each call, which would cost Wine
// a round trip a byte: Windows resets it as the call begins, Wine does not,
// so a signal left by an earlier call is told apart by the record itself.
int FinishOverlapped(HANDLE handle, CallRecord& call, DWORD boundMs, DWORD& transferred) {
  transferred = 0;
  const ULONGLONG deadline = GetTickCount64() + boundMs;
  for (;;) {
    if (GetOverlappedResult(handle, &call.record, &transferred, FALSE)) return 0;
    if (GetLastError() != ERROR_IO_INCOMPLETE) return static_cast<int>(GetLastError());
    ResetEvent(call.event);
    if (HasOverlappedIoCompleted(&call.record)) continue;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline ||
        WaitForSingleObject(call.event, static_cast<DWORD>(deadline - now)) != WAIT_OBJECT_0) {
      CancelIo(handle);
      WaitForSingleObject(call.event, kCallSlackMs);
      return ERROR_TIMEOUT;
    }
  }
}

// Issues a read or a write on the record and ends it.
template <typename Call>
int IssueAndFinish(HANDLE handle, CallRecord& call, DWORD boundMs, DWORD& transferred, Call issue) {
  transferred = 0;
  if (!issue(&call.record)) {
    const int error = static_cast<int>(GetLastError());
    if (error != ERROR_IO_PENDING) return error;
  }
  return FinishOverlapped(handle, call, boundMs, transferred);
}

bool SameLine(const DCB& a, const DCB& b) {
  return a.BaudRate == b.BaudRate && a.ByteSize == b.ByteSize && a.Parity == b.Parity &&
         a.StopBits == b.StopBits;
}

// A driver may take a line setting and round it (Wine on a pty runs 28800
// baud at 38400, a USB adapter may round a rate): what the port reports back
// is what it runs. A setting that did not hold is refused, and the line goes
// back to what it was, so the caller's idea of the line stays true.
int SetAndCheck(HANDLE handle, const DCB& before, const DCB& wanted) {
  DCB wantedCopy = wanted;
  if (!SetCommState(handle, &wantedCopy)) return static_cast<int>(GetLastError());
  DCB applied{};
  applied.DCBlength = sizeof applied;
  if (!GetCommState(handle, &applied)) return static_cast<int>(GetLastError());
  if (SameLine(applied, wanted)) return 0;
  DCB restore = before;
  SetCommState(handle, &restore);
  return ERROR_NOT_SUPPORTED;
}

// Reads the port's DCB, lets `change` alter it (0 or an error) and writes it back.
template <typename Change>
int ChangeState(HANDLE handle, Change change) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle, &dcb)) return static_cast<int>(GetLastError());
  const DCB before = dcb;
  if (int error = change(dcb); error != 0) return error;
  return SetAndCheck(handle, before, dcb);
}

// ClearCommError also clears a line error, which is all one calls for.
int QueuedBytes(HANDLE handle, std::uint32_t& queued) {
  queued = 0;
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(handle, &errors, &stat)) return static_cast<int>(GetLastError());
  queued = stat.cbInQue;
  return 0;
}

void SetLineOptions(DCB& dcb) {
  dcb.fOutxCtsFlow = 0;
  dcb.fOutxDsrFlow = 0;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fDsrSensitivity = 0;
  dcb.fTXContinueOnXoff = 1;
  dcb.fOutX = 0;
  dcb.fInX = 0;
  dcb.fNull = 0;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fAbortOnError = 0;
  dcb.fDummy2 = 0;
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.XonChar = 0x13;
  dcb.XoffChar = 0x11;
  dcb.ErrorChar = 0x2A;
  dcb.EofChar = 0x01;
  dcb.EvtChar = 0x02;
}

}  // namespace

struct CWin32ComDevice::Waits {
  HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  OVERLAPPED wait{};
  DWORD waitMask = 0;
  int emptyWakes = 0;
  CallRecord read;
  CallRecord write;

  Waits() { wait.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
  ~Waits() {
    for (HANDLE event : {stop, wait.hEvent}) {
      if (event != nullptr) CloseHandle(event);
    }
  }
  Waits(const Waits&) = delete;
  Waits& operator=(const Waits&) = delete;
};

int ComPortNumber(const std::string& deviceName) {
  std::string name = deviceName.rfind("\\\\.\\", 0) == 0 ? deviceName.substr(4) : deviceName;
  if (name.size() < 4 || name.size() > 10) return 0;
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
  if (name.compare(0, 3, "COM") != 0) return 0;
  const std::string digits = name.substr(3);
  if (digits[0] == '0' ||
      !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
    return 0;
  }
  return std::stoi(digits);
}

CWin32ComDevice::CWin32ComDevice() : handle_(INVALID_HANDLE_VALUE), waits_(std::make_unique<Waits>()) {}

CWin32ComDevice::~CWin32ComDevice() {
  Close();
}

std::unique_ptr<ISerialDevice> MakeSerialDevice() {
  return std::make_unique<CDeviceByName>(std::make_unique<CWin32ComDevice>());
}

std::string CWin32ComDevice::PortDeviceName(int portNumber) const {
  const std::string name = "COM" + std::to_string(portNumber);
  return portNumber >= 10 ? "\\\\.\\" + name : name;
}

PortError CWin32ComDevice::Open(const std::string& path) {
  Close();
  const int comNumber = ComPortNumber(path);
  if (comNumber > kMaxComPort) return PortError::Win32(ERROR_INVALID_NAME);
  HANDLE handle = CreateFileA(FullDeviceName(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return PortError::Win32(GetLastError());
  // A file opens as well as a port does; only a character device is one.
  if (GetFileType(handle) != FILE_TYPE_CHAR) {
    CloseHandle(handle);
    return PortError::Win32(ERROR_BAD_DEVICE);
  }
  ResetEvent(waits_->stop);
  waits_->emptyWakes = 0;
  readFailed_.store(false);
  handle_.store(handle);
  return {};
}

void CWin32ComDevice::Close() {
  HANDLE handle = AsHandle(handle_.exchange(INVALID_HANDLE_VALUE));
  if (handle == INVALID_HANDLE_VALUE) return;
  CloseHandle(handle);
  // Closing ends a WaitCommEvent still in flight; its record is free after.
  if (waitPending_.exchange(false)) WaitForSingleObject(waits_->wait.hEvent, kCallSlackMs);
}

bool CWin32ComDevice::IsOpen() const {
  return handle_.load() != INVALID_HANDLE_VALUE;
}

PortError CWin32ComDevice::Configure(const LineSettings& settings) {
  HANDLE handle = AsHandle(handle_.load());
  const auto build = [&settings](DCB& dcb) {
    char definition[64];
    std::snprintf(definition, sizeof definition, "baud=%u data=%i stop=%i parity=%c",
                  static_cast<unsigned>(settings.baud), settings.dataBits, settings.stopBits,
                  settings.parity);
    if (!BuildCommDCBA(definition, &dcb)) return static_cast<int>(GetLastError());
    SetLineOptions(dcb);
    return 0;
  };
  // NUL and other devices that are no COM port fail GetCommState here.
  refused_ = LineSetting::SerialLine;
  if (int error = ChangeState(handle, build); error != 0) return PortError::Win32(error);
  // Reads return at once with what is buffered; a write is bounded by its length.
  COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, kWriteMsPerByte, kWriteConstantMs};
  refused_ = LineSetting::Timeouts;
  if (!SetCommTimeouts(handle, &timeouts)) return PortError::Win32(GetLastError());
  refused_ = LineSetting::EventMask;
  return PortError::Win32(LastErrorOr(SetCommMask(handle, kEventMask)));
}

PortError CWin32ComDevice::SetBaudRate(std::uint32_t baud) {
  return PortError::Win32(ChangeState(AsHandle(handle_.load()), [baud](DCB& dcb) {
    dcb.BaudRate = baud;
    return 0;
  }));
}

PortError CWin32ComDevice::SetDataBits(int dataBits) {
  return PortError::Win32(ChangeState(AsHandle(handle_.load()), [dataBits](DCB& dcb) {
    dcb.ByteSize = static_cast<BYTE>(dataBits);
    return 0;
  }));
}

PortError CWin32ComDevice::SetModemLine(ModemLine line, bool on) {
  DWORD function = line == ModemLine::Dtr ? (on ? SETDTR : CLRDTR) : (on ? SETRTS : CLRRTS);
  return PortError::Win32(LastErrorOr(EscapeCommFunction(AsHandle(handle_.load()), function)));
}

PortError CWin32ComDevice::GetModemStatus(ModemStatus& status) {
  status = ModemStatus{};
  DWORD bits = 0;
  if (!GetCommModemStatus(AsHandle(handle_.load()), &bits)) return PortError::Win32(GetLastError());
  status.cts = (bits & MS_CTS_ON) != 0;
  status.dsr = (bits & MS_DSR_ON) != 0;
  status.ring = (bits & MS_RING_ON) != 0;
  status.carrierDetect = (bits & MS_RLSD_ON) != 0;
  return {};
}

PortError CWin32ComDevice::Read(std::uint8_t* buffer, std::size_t max, std::size_t& got) {
  got = 0;
  HANDLE handle = AsHandle(handle_.load());
  std::uint32_t queued = 0;
  if (int error = QueuedBytes(handle, queued); error != 0) return PortError::Win32(error);
  // Only what is queued, so the read completes at once whatever the driver
  // makes of the read time-outs.
  const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(max, queued));
  if (wanted == 0) return {};
  DWORD transferred = 0;
  const int error = IssueAndFinish(handle, waits_->read, kCallSlackMs, transferred, [&](OVERLAPPED* record) {
    return ReadFile(handle, buffer, wanted, nullptr, record);
  });
  if (error != 0) {
    readFailed_.store(true);
    return PortError::Win32(error);
  }
  got = transferred;
  return {};
}

PortError CWin32ComDevice::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) {
  written = 0;
  HANDLE handle = AsHandle(handle_.load());
  const DWORD length = static_cast<DWORD>(count);
  const DWORD boundMs = kWriteConstantMs + kWriteMsPerByte * length + kCallSlackMs;
  DWORD transferred = 0;
  int error = IssueAndFinish(handle, waits_->write, boundMs, transferred, [&](OVERLAPPED* record) {
    return WriteFile(handle, bytes, length, nullptr, record);
  });
  written = transferred;
  if (error == 0 && transferred < length) error = ERROR_TIMEOUT;  // the driver's write time-out
  return PortError::Win32(error);
}

DeviceEvent CWin32ComDevice::WaitEvent() {
  for (;;) {
    HANDLE handle = AsHandle(handle_.load());
    std::uint32_t queued = 0;
    // A device that no longer answers, or that failed a read with bytes
    // queued, is gone: waiting on would only spin.
    if (readFailed_.load() || QueuedBytes(handle, queued) != 0) return DeviceEvent::HungUp;
    // Bytes left over from the last read are read without a new event.
    if (queued > 0) {
      waits_->emptyWakes = 0;
      return DeviceEvent::Readable;
    }
    if (waits_->emptyWakes >= kEmptyWakesBeforePolling) {
      if (WaitForSingleObject(waits_->stop, kPollMs) == WAIT_OBJECT_0) return DeviceEvent::Woken;
      continue;
    }
    const DeviceEvent event = WaitForEventOrStop(handle);
    if (event == DeviceEvent::Woken || event == DeviceEvent::HungUp) return event;
  }
}

// Readable means "look at the queue again".
DeviceEvent CWin32ComDevice::WaitForEventOrStop(void* handle) {
  Waits& w = *waits_;
  if (!waitPending_.load()) {
    // WaitCommEvent resets the event itself when it goes pending.
    w.waitMask = 0;
    if (WaitCommEvent(AsHandle(handle), &w.waitMask, &w.wait)) {
      ++w.emptyWakes;
      return DeviceEvent::Readable;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
      // No event wait on this line: poll the queue from now on.
      w.emptyWakes = kEmptyWakesBeforePolling;
      return error == ERROR_OPERATION_ABORTED || error == ERROR_NOT_SUPPORTED ? DeviceEvent::Readable
                                                                              : DeviceEvent::HungUp;
    }
    waitPending_.store(true);
  }
  HANDLE events[2] = {w.stop, w.wait.hEvent};
  const DWORD which = WaitForMultipleObjects(2, events, FALSE, INFINITE);
  if (which == WAIT_OBJECT_0) return DeviceEvent::Woken;  // the wait stays in flight
  waitPending_.store(false);
  DWORD unused = 0;
  if (!GetOverlappedResult(AsHandle(handle), &w.wait, &unused, FALSE) || (w.waitMask & EV_RXCHAR) == 0) {
    ++w.emptyWakes;
  }
  return DeviceEvent::Readable;
}

void CWin32ComDevice::Wake() {
  SetEvent(waits_->stop);
}
