#include "connection/PlugAndPlay.h"

#include <algorithm>

#include "app/MainFrame.h"
#include "connection/HexText.h"
#include "resources/Strings.h"

namespace {

constexpr std::uint32_t kPnpBaud = 1200;
constexpr std::uint8_t kPnpDataBits = 7;
constexpr std::uint8_t kFrameDataBits = 8;
constexpr int kDsrPolls = 20;
constexpr int kPollMs = 10;
constexpr int kPnpLineStepMs = 200;
constexpr int kPnpStringPolls = 220;
constexpr std::uint32_t kRequestedSpeed = 19200;
constexpr int kMinPnpLength = 15;
constexpr int kMaxPnpLength = 255;

// Walks the extension fields; `cursor` stops on the character that ended a field.
class CPnpFields {
 public:
  CPnpFields(const char* s, int length) : s_(s), length_(length) {}

  std::string Describe() {
    std::string text = Text(kStrPnpData);
    const int revision = (s_[1] & 0x3F) * 64 + (s_[2] & 0x3F);
    text += Format(kStrPnpRevision, {revision / 100, revision % 100});
    text += Format(kStrPnpEisa, {s_[3], s_[4], s_[5]});
    text += Format(kStrPnpProduct, {s_[6], s_[7], s_[8], s_[9]});
    cursor_ = 10;
    if (s_[cursor_] == '\\') text += Field(kStrPnpSerial, length_);
    if (cursor_ < length_ && s_[cursor_] == '\\') text += Field(kStrPnpClass, length_ - 3);
    if (cursor_ < length_ && s_[cursor_] == '\\') text += Field(kStrPnpCompatible, length_ - 3);
    const unsigned sum = Checksum();
    const bool matches = sum == ChecksumPairValue(s_[length_ - 3], s_[length_ - 2]);
    const int tail = matches ? 3 : 1;
    if (cursor_ < length_ && s_[cursor_] == '\\') text += Field(kStrPnpUser, length_ - tail);
    text += Text(matches ? kStrPnpChecksumCorrect : kStrPnpChecksumIncorrect);
    text += Format(kStrPnpCalculatedChecksum, {sum});
    text += Format(kStrPnpEmbeddedChecksum, {s_[length_ - 3], s_[length_ - 2]});
    return text;
  }

 private:
  // Steps over the "\" and takes characters up to the next "\" or ")" below limit.
  std::string Field(StringId label, int limit) {
    std::string text = Text(label);
    ++cursor_;
    while (cursor_ < limit && s_[cursor_] != '\\' && s_[cursor_] != ')') text += s_[cursor_++];
    return text + Text(kStrLineEnd);
  }

  // Every character except the two checksum digits, modulo 256.
  unsigned Checksum() const {
    unsigned sum = 0;
    for (int i = 0; i <= length_ - 4; ++i) sum += static_cast<unsigned char>(s_[i]);
    sum += static_cast<unsigned char>(s_[length_ - 1]);
    return sum & 0xFF;
  }

  const char* s_;
  int length_;
  int cursor_ = 0;
};

}  // namespace

std::string DescribePnpString(const char* pnp, int length) {
  const bool valid = length >= kMinPnpLength && length <= kMaxPnpLength && pnp[0] == '(';
  if (valid) return CPnpFields(pnp, length).Describe();
  const auto count = static_cast<std::size_t>(std::clamp(length, 0, 256));
  return Text(kStrPnpInvalid) + HexDump(reinterpret_cast<const std::uint8_t*>(pnp), count) +
         Text(kStrLineEnd);
}

int CMainFrame::CaptureAndNegotiate(std::uint32_t requestedSpeed, int& status) {
  CSerialPort* port = Port();
  if (!port) return 0;
  std::uint32_t previousBaud = 0;
  std::uint8_t previousBits = 0;
  port->SetBaudRate(kPnpBaud, previousBaud);
  status = static_cast<int>(previousBaud);
  port->SetDataBits(kPnpDataBits, previousBits);
  SetReceiveMode(kModePlugAndPlay, true);
  // A pty has no modem lines: these calls fail there and the capture goes on.
  port->SetDtr(true);
  port->SetRts(false);
  for (int i = 0; i < kDsrPolls; ++i) {
    int cts = 0, dsr = 0, ring = 0, carrier = 0;
    port->GetModemStatus(cts, dsr, ring, carrier);
    if (dsr) break;
    PumpPendingMessages();
    Clock().SleepMs(kPollMs);
  }
  port->SetDtr(false);
  Clock().SleepMs(kPnpLineStepMs);
  port->SetDtr(true);
  Clock().SleepMs(kPnpLineStepMs);
  port->SetRts(true);
  Clock().SleepMs(kPnpLineStepMs);
  if (rx_.PnpLengthNow() == 0) {
    port->SetDtr(false);
    port->SetRts(false);
    Clock().SleepMs(kPnpLineStepMs);
    port->SetDtr(true);
    port->SetRts(true);
    Clock().SleepMs(kPnpLineStepMs);
    port->SetRts(false);
  }
  const bool captured = WaitReply(kModePlugAndPlay, kPnpStringPolls);
  port->SetRts(true);
  if (!captured) {
    SetReceiveMode(kModeIdle, false);
    port->SetBaudRate(conn_.lineSpeed, previousBaud);
    port->SetDataBits(kFrameDataBits, previousBits);
    return 0;
  }
  return Negotiate(requestedSpeed, status);
}

int CMainFrame::PlugAndPlayStep() {
  int status = 0;
  if (!CaptureAndNegotiate(kRequestedSpeed, status)) {
    ShowText(Text(kStrPnpUnable));
    return 0;
  }
  std::string text =
      status == -1 ? Text(kStrUnableSwitchBaud) : Format(kStrCommsEstablished, {int{conn_.lineSpeed}});
  text += DescribePnpString(rx_.PnpBuffer(), rx_.PnpLength());
  text += Text(kStrLineEnd);
  ShowText(text);
  return 1;
}
