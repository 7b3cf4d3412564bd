#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The telnet framing of an RFC 2217 connection, without any I/O: escaping
// of outgoing bytes, the commands the client sends, and a receiver that
// splits what the server sends into line data and telnet events, whatever
// the reads cut the stream into.
namespace telnet {

inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kSe = 240;

inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPort = 44;

// COM-PORT-OPTION commands, client to server; the server answers each with
// the same number plus kServerOffset.
inline constexpr std::uint8_t kSetBaudRate = 1;
inline constexpr std::uint8_t kSetDataSize = 2;
inline constexpr std::uint8_t kSetParity = 3;
inline constexpr std::uint8_t kSetStopSize = 4;
inline constexpr std::uint8_t kSetControl = 5;
inline constexpr std::uint8_t kNotifyModemState = 7;
inline constexpr std::uint8_t kSetModemStateMask = 11;
inline constexpr std::uint8_t kServerOffset = 100;

// SET-CONTROL values.
inline constexpr std::uint8_t kControlNoFlow = 1;
inline constexpr std::uint8_t kControlDtrOn = 8;
inline constexpr std::uint8_t kControlDtrOff = 9;
inline constexpr std::uint8_t kControlRtsOn = 11;
inline constexpr std::uint8_t kControlRtsOff = 12;

// NOTIFY-MODEMSTATE bits.
inline constexpr std::uint8_t kModemCarrier = 0x80;
inline constexpr std::uint8_t kModemRing = 0x40;
inline constexpr std::uint8_t kModemDsr = 0x20;
inline constexpr std::uint8_t kModemCts = 0x10;

// Appends bytes with every IAC doubled.
void AppendEscaped(std::vector<std::uint8_t>& out, const std::uint8_t* bytes, std::size_t count);
// IAC SB COM-PORT-OPTION command value IAC SE, the value escaped.
void AppendComPortCommand(std::vector<std::uint8_t>& out, std::uint8_t command,
                          const std::vector<std::uint8_t>& value);
// What the client offers on connecting: COM-PORT-OPTION, and BINARY and
// SUPPRESS-GO-AHEAD both ways.
std::vector<std::uint8_t> OpeningOffers();

struct Event {
  enum Kind { Will, Wont, Do, Dont, ComPort } kind;
  std::uint8_t option = 0;   // Will to Dont
  std::uint8_t command = 0;  // ComPort: the server's command number
  std::vector<std::uint8_t> value;
};

class CReceiver {
 public:
  // Line data goes to data, telnet commands to events, in order of arrival.
  void Feed(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& data,
            std::vector<Event>& events);

 private:
  enum class State { Data, Iac, Option, Sub, SubIac };
  void Command(std::uint8_t byte, std::vector<std::uint8_t>& data);
  void EndSubnegotiation(std::vector<Event>& events);

  State state_ = State::Data;
  std::uint8_t verb_ = 0;
  std::vector<std::uint8_t> sub_;
  bool subOverflow_ = false;
};

// What the client agrees to: it answers the server's option requests and
// learns whether COM-PORT-OPTION was accepted or refused.
class COptions {
 public:
  // The reply to one option event; empty when none is due.
  std::vector<std::uint8_t> Answer(const Event& event);
  bool ComPortAccepted() const { return comPortAccepted_; }
  bool ComPortRefused() const { return comPortRefused_; }

 private:
  bool comPortAccepted_ = false;
  bool comPortRefused_ = false;
};

// The modem lines a NOTIFY-MODEMSTATE value reports.
struct ModemBits {
  bool cts = false;
  bool dsr = false;
  bool ring = false;
  bool carrier = false;
};
ModemBits ParseModemState(std::uint8_t state);

}  // namespace telnet
