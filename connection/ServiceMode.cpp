#include "app/MainFrame.h"
#include "protocol/AccessCodes.h"
#include "resources/Strings.h"

namespace {

constexpr std::uint8_t kFrameDataBits = 8;
constexpr int kDataBitsSettleMs = 200;
constexpr int kAuthorizationPauseMs = 250;
constexpr int kServiceModePauseMs = 500;
constexpr std::uint8_t kCommParametersQuery = 0x42;
constexpr std::uint8_t kSetCommParameter = 0x98;
constexpr std::uint16_t kCommParametersCapacity = 128;
constexpr std::uint16_t kReplyCapacity = 300;
constexpr std::uint8_t kAcknowledgeBlock = 9;
constexpr std::uint16_t kSlowestSpeed = 1200;

// The fastest speed the reply offers (never below 1200), or 0 when the
// reply is too short for the count of speeds it claims.
std::uint16_t FastestOffered(const std::uint8_t* data, std::uint16_t count) {
  const int n = data[1];
  if (count < 7 || count < 2 * n + 4) return 0;
  std::uint16_t fastest = kSlowestSpeed;
  for (int k = 0; k < n; ++k) {
    const auto speed = static_cast<std::uint16_t>(data[2 + 2 * k] | (data[3 + 2 * k] << 8));
    if (speed > fastest) fastest = speed;
  }
  return fastest;
}

}  // namespace

int CMainFrame::Negotiate(std::uint32_t requestedSpeed, int& status) {
  CSerialPort& port = *Port();
  std::uint8_t previousBits = 0;
  std::uint32_t previousBaud = 0;
  int result = 1;
  port.SetDataBits(kFrameDataBits, previousBits);
  Clock().SleepMs(kDataBitsSettleMs);
  Link().SendAuthorization();
  Clock().SleepMs(kAuthorizationPauseMs);
  const Frame query = CUpsLink::BuildTwoByteRequest(kCommParametersQuery, 0x00);
  SetReceiveMode(kModeFrame, true);
  if (query.empty()) {
    MessageBox(Text(kStrOutOfMemory));
    result = 0;
  } else {
    Link().WriteFrame(query);
    const std::string copy = TranscriptText();
    if (!WaitReply(kModeFrame, AllowanceByRoute(conn_.routeLength))) {
      SetReceiveMode(kModeIdle, false);
      status = -1;
      conn_.lineSpeed = static_cast<std::uint16_t>(requestedSpeed);
    } else {
      std::uint8_t data[kReplyCapacity] = {};
      std::uint16_t count = 0;
      std::uint8_t error = 0, block = 0;
      if (!Link().DecodeFrames(rx_.ReceiveBuffer(), rx_.ReceiveLength(), data, kCommParametersCapacity, count,
                               error, block)) {
        ShowText(copy + Format(kStrErrDecodingUpsData, {int{error}}));
        return 0;
      }
      const std::uint16_t fastest = FastestOffered(data, count);
      if (fastest == 0) {
        ShowText(copy + Format(kStrInvalidBaudData, {static_cast<int>(requestedSpeed)}));
        conn_.lineSpeed = static_cast<std::uint16_t>(requestedSpeed);
      } else {
        conn_.lineSpeed = fastest;
      }
    }
  }
  Link().SendAuthorization();
  Clock().SleepMs(kAuthorizationPauseMs);
  const Frame set = CUpsLink::BuildFiveByteRequest(kSetCommParameter, 0x00, 0x01, conn_.lineSpeed);
  SetReceiveMode(kModeFrame, true);
  if (set.empty()) {
    MessageBox(Text(kStrOutOfMemory));
  } else {
    Link().WriteFrame(set);
    if (!WaitReply(kModeFrame, AllowanceByRoute(conn_.routeLength))) {
      SetReceiveMode(kModeIdle, false);
      status = -1;
      MessageBox(Text(kStrNoSetCommResponse));
    }
  }
  port.SetBaudRate(conn_.lineSpeed, previousBaud);
  port.SetDataBits(kFrameDataBits, previousBits);
  return result;
}

int CMainFrame::ServiceModeStep() {
  const std::string copy = TranscriptText();
  InsertAtEnd(Text(kStrServiceModeAttempt));
  Clock().SleepMs(kServiceModePauseMs);
  Link().SendAuthorization();
  Clock().SleepMs(kAuthorizationPauseMs);
  SetReceiveMode(kModeFrame, true);
  Link().SendRawRequest(kServiceModeCode, sizeof kServiceModeCode);
  const bool answered = WaitReply(kModeFrame, AllowanceByRoute(conn_.routeLength));
  if (!answered) {
    SetReceiveMode(kModeIdle, false);
    ShowText(copy + Text(kStrServiceModeTimeout));
    return 0;
  }
  const std::string received = copy + Text(kStrServiceModeReceived);
  ShowText(received);
  std::uint8_t data[kReplyCapacity] = {};
  std::uint16_t count = 0;
  std::uint8_t error = 0, block = 0;
  if (!Link().DecodeFrames(rx_.ReceiveBuffer(), rx_.ReceiveLength(), data, kReplyCapacity, count, error,
                           block)) {
    ShowText(received + Format(kStrErrDecodingResponse, {int{error}}));
    return 0;
  }
  if (block == kAcknowledgeBlock) {
    DecodeAcknowledge(data, count);
    ShowText(received + Text(kStrServiceModeEntered));
  } else {
    ShowText(received + Format(kStrServiceModeWrongBlock, {int{block}}));
  }
  return 1;
}
