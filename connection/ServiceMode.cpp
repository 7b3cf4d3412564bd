#include "connection/ConnectCommand.h"
#include "protocol/WireFormat.h"
#include "resources/Strings.h"
#include "serial/SerialPort.h"

namespace {

constexpr int kDataBitsSettleMs = 200;
constexpr int kServiceModePauseMs = 500;
constexpr std::uint16_t kSlowestSpeed = 1200;

// The fastest speed the reply offers (never below 1200), or 0 when the
// reply is too short for the count of speeds it claims.
std::uint16_t FastestOffered(const DecodedReply& reply) {
  const int n = reply.data[1];
  if (reply.count < 7 || reply.count < 2 * n + 4) return 0;
  std::uint16_t fastest = kSlowestSpeed;
  for (int k = 0; k < n; ++k) {
    const auto speed = static_cast<std::uint16_t>(reply.data[2 + 2 * k] | (reply.data[3 + 2 * k] << 8));
    if (speed > fastest) fastest = speed;
  }
  return fastest;
}

}  // namespace

int CConnectCommand::Negotiate(std::uint32_t requestedSpeed, int& status) {
  CSerialPort& port = *port_();
  std::uint8_t previousBits = 0;
  std::uint32_t previousBaud = 0;
  int result = 1;
  port.SetDataBits(kFrameDataBits, previousBits);
  linkHost.Clock().SleepMs(kDataBitsSettleMs);
  if (!link.SendRequest(CUpsLink::BuildRequest(kCommParametersCommand, {0x00}), true)) {
    host.MessageBox(Text(kStrOutOfMemory));
    result = 0;
  } else {
    const std::string copy = host.TranscriptText();
    if (!Answered(linkHost)) {
      status = -1;
      conn.lineSpeed = static_cast<std::uint16_t>(requestedSpeed);
    } else {
      const DecodedReply reply = link.DecodeReply(kCommParametersCapacityBytes);
      if (!reply.Ok()) {
        host.ShowText(copy + Format(kStrErrDecodingUpsData, {int{reply.error}}));
        return 0;
      }
      const std::uint16_t fastest = FastestOffered(reply);
      if (fastest == 0) {
        host.ShowText(copy + Format(kStrInvalidBaudData, {static_cast<int>(requestedSpeed)}));
        conn.lineSpeed = static_cast<std::uint16_t>(requestedSpeed);
      } else {
        conn.lineSpeed = fastest;
      }
    }
  }
  const Frame set = CUpsLink::BuildFiveByteRequest(kSetCommParameterCommand, 0x00, 0x01, conn.lineSpeed);
  if (!link.SendRequest(set, true)) {
    host.MessageBox(Text(kStrOutOfMemory));
  } else if (!Answered(linkHost)) {
    status = -1;
    host.MessageBox(Text(kStrNoSetCommResponse));
  }
  // A port that did not take the speed is a switch that failed, as an
  // unanswered request is.
  if (!port.SetBaudRate(conn.lineSpeed, previousBaud)) status = -1;
  port.SetDataBits(kFrameDataBits, previousBits);
  return result;
}

int CConnectCommand::ServiceModeStep() {
  const std::string copy = host.TranscriptText();
  host.AppendText(Text(kStrServiceModeAttempt), false);
  linkHost.Clock().SleepMs(kServiceModePauseMs);
  link.SendRequest(CUpsLink::BuildRawRequest(kServiceModeCode, sizeof kServiceModeCode), true);
  if (!Answered(linkHost)) {
    host.ShowText(copy + Text(kStrServiceModeTimeout));
    return 0;
  }
  const std::string received = copy + Text(kStrServiceModeReceived);
  host.ShowText(received);
  const DecodedReply reply = link.DecodeReply();
  if (!reply.Ok()) {
    host.ShowText(received + Format(kStrErrDecodingResponse, {int{reply.error}}));
    return 0;
  }
  if (reply.block == kAcknowledgeBlock) {
    DecodeAcknowledge(reply);
    host.ShowText(received + Text(kStrServiceModeEntered));
  } else {
    host.ShowText(received + Format(kStrServiceModeWrongBlock, {int{reply.block}}));
  }
  return 1;
}
