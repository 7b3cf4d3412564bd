#include "connection/PlugAndPlay.h"

#include <algorithm>

#include "connection/ConnectCommand.h"
#include "protocol/HexText.h"
#include "protocol/ReplyWait.h"
#include "resources/Strings.h"
#include "serial/SerialPort.h"

namespace {

constexpr int kDsrPolls = 20;
constexpr int kPnpLineStepMs = 200;
constexpr int kPnpStringPolls = 220;
constexpr std::uint32_t kRequestedSpeed = 19200;
constexpr int kMinPnpLength = 15;
constexpr int kMaxPnpLength = 255;

std::uint8_t ChecksumDigitValue(char c) {
  auto v = static_cast<std::uint8_t>(static_cast<unsigned char>(c) - 0x30);
  if (v > 9) v = static_cast<std::uint8_t>(v - 7);
  return v;
}

bool IsValidPnp(const char* pnp, int length) {
  return length >= kMinPnpLength && length <= kMaxPnpLength && pnp[0] == '(';
}

// Every character except the two checksum digits, modulo 256.
unsigned PnpChecksum(const char* s, int length) {
  unsigned sum = 0;
  for (int i = 0; i <= length - 4; ++i) sum += static_cast<unsigned char>(s[i]);
  sum += static_cast<unsigned char>(s[length - 1]);
  return sum & 0xFF;
}

// Walks the extension fields; `cursor` stops on the character that ended a field.
PnpFields ReadPnpFields(const char* s, int length) {
  int cursor = 10;
  const auto at = [&](char c) { return cursor < length && s[cursor] == c; };
  // Steps over the "\" and takes characters up to the next "\" or ")" below limit.
  const auto field = [&](int limit) {
    std::string text;
    for (++cursor; cursor < limit && s[cursor] != '\\' && s[cursor] != ')'; ++cursor) text += s[cursor];
    return text;
  };
  PnpFields f;
  f.revision = (s[1] & 0x3F) * 64 + (s[2] & 0x3F);
  f.manufacturer.assign(s + 3, 3);
  f.product.assign(s + 6, 4);
  if (s[cursor] == '\\') f.serialNumber = field(length);
  if (at('\\')) f.deviceClass = field(length - 3);
  if (at('\\')) f.compatible = field(length - 3);
  f.checksum = PnpChecksum(s, length);
  f.embedded[0] = s[length - 3];
  f.embedded[1] = s[length - 2];
  f.checksumMatches = f.checksum == ChecksumPairValue(f.embedded[0], f.embedded[1]);
  const int tail = f.checksumMatches ? 3 : 1;
  if (at('\\')) f.userName = field(length - tail);
  return f;
}

std::string FieldLine(StringId label, const std::optional<std::string>& value) {
  return value ? Text(label) + *value + Text(kStrLineEnd) : std::string();
}

std::string Describe(const PnpFields& f) {
  std::string text = Text(kStrPnpData);
  text += Format(kStrPnpRevision, {f.revision / 100, f.revision % 100});
  text += Format(kStrPnpEisa, {f.manufacturer[0], f.manufacturer[1], f.manufacturer[2]});
  text += Format(kStrPnpProduct, {f.product[0], f.product[1], f.product[2], f.product[3]});
  text += FieldLine(kStrPnpSerial, f.serialNumber);
  text += FieldLine(kStrPnpClass, f.deviceClass);
  text += FieldLine(kStrPnpCompatible, f.compatible);
  text += FieldLine(kStrPnpUser, f.userName);
  text += Text(f.checksumMatches ? kStrPnpChecksumCorrect : kStrPnpChecksumIncorrect);
  text += Format(kStrPnpCalculatedChecksum, {f.checksum});
  text += Format(kStrPnpEmbeddedChecksum, {f.embedded[0], f.embedded[1]});
  return text;
}

}  // namespace

std::uint8_t ChecksumPairValue(char high, char low) {
  return static_cast<std::uint8_t>((ChecksumDigitValue(high) << 4) | ChecksumDigitValue(low));
}

std::optional<PnpFields> ParsePnpString(const char* pnp, int length) {
  if (!IsValidPnp(pnp, length)) return std::nullopt;
  return ReadPnpFields(pnp, length);
}

std::string DescribePnpString(const char* pnp, int length) {
  if (const std::optional<PnpFields> fields = ParsePnpString(pnp, length)) return Describe(*fields);
  const auto count = static_cast<std::size_t>(std::clamp(length, 0, 256));
  return Text(kStrPnpInvalid) + HexDump(reinterpret_cast<const std::uint8_t*>(pnp), count) +
         Text(kStrLineEnd);
}

int CConnectCommand::CaptureAndNegotiate(std::uint32_t requestedSpeed, int& status) {
  CSerialPort* port = port_();
  if (!port) return 0;
  std::uint32_t previousBaud = 0;
  std::uint8_t previousBits = 0;
  port->SetBaudRate(kPnpBaud, previousBaud);
  status = static_cast<int>(previousBaud);
  port->SetDataBits(kPnpDataBits, previousBits);
  linkHost.Receive().SetReceiveMode(kModePlugAndPlay, true);
  // A pty has no modem lines: these calls fail there and the capture goes on.
  port->SetModemLine(ModemLine::Dtr, true);
  port->SetModemLine(ModemLine::Rts, false);
  for (int i = 0; i < kDsrPolls; ++i) {
    ModemStatus lines;
    port->GetModemStatus(lines);
    if (lines.dsr) break;
    host.PumpPendingMessages();
    linkHost.Clock().SleepMs(kPollMs);
  }
  port->SetModemLine(ModemLine::Dtr, false);
  linkHost.Clock().SleepMs(kPnpLineStepMs);
  port->SetModemLine(ModemLine::Dtr, true);
  linkHost.Clock().SleepMs(kPnpLineStepMs);
  port->SetModemLine(ModemLine::Rts, true);
  linkHost.Clock().SleepMs(kPnpLineStepMs);
  if (linkHost.Receive().ReceiveLengthNow() == 0) {
    port->SetModemLine(ModemLine::Dtr, false);
    port->SetModemLine(ModemLine::Rts, false);
    linkHost.Clock().SleepMs(kPnpLineStepMs);
    port->SetModemLine(ModemLine::Dtr, true);
    port->SetModemLine(ModemLine::Rts, true);
    linkHost.Clock().SleepMs(kPnpLineStepMs);
    port->SetModemLine(ModemLine::Rts, false);
  }
  const bool captured = linkHost.WaitReply(kModePlugAndPlay, kPnpStringPolls);
  port->SetModemLine(ModemLine::Rts, true);
  if (!captured) {
    linkHost.Receive().SetReceiveMode(kModeIdle, false);
    port->SetBaudRate(conn.lineSpeed, previousBaud);
    port->SetDataBits(kFrameDataBits, previousBits);
    return 0;
  }
  return Negotiate(requestedSpeed, status);
}

int CConnectCommand::PlugAndPlayStep() {
  conn.pnpString.clear();
  int status = 0;
  if (!CaptureAndNegotiate(kRequestedSpeed, status)) {
    host.ShowText(Text(kStrPnpUnable));
    return 0;
  }
  std::string text =
      status == -1 ? Text(kStrUnableSwitchBaud) : Format(kStrCommsEstablished, {int{conn.lineSpeed}});
  conn.pnpString.assign(linkHost.Receive().PnpBuffer(),
                        static_cast<std::size_t>(linkHost.Receive().PnpLength()));
  text += DescribePnpString(linkHost.Receive().PnpBuffer(), linkHost.Receive().PnpLength());
  text += Text(kStrLineEnd);
  host.ShowText(text);
  return 1;
}
