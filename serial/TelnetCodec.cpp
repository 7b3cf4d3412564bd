#include "serial/TelnetCodec.h"

namespace telnet {

namespace {

// Longer subnegotiations than any COM-PORT-OPTION answer are not kept.
constexpr std::size_t kMaxSubnegotiation = 32;

bool IsOurOption(std::uint8_t option) {
  return option == kBinary || option == kSuppressGoAhead || option == kComPort;
}

}  // namespace

void AppendEscaped(std::vector<std::uint8_t>& out, const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    out.push_back(bytes[i]);
    if (bytes[i] == kIac) out.push_back(kIac);
  }
}

void AppendComPortCommand(std::vector<std::uint8_t>& out, std::uint8_t command,
                          const std::vector<std::uint8_t>& value) {
  out.insert(out.end(), {kIac, kSb, kComPort, command});
  AppendEscaped(out, value.data(), value.size());
  out.insert(out.end(), {kIac, kSe});
}

std::vector<std::uint8_t> OpeningOffers() {
  return {kIac, kWill, kComPort,         kIac, kWill, kBinary,         kIac, kDo, kBinary,
          kIac, kWill, kSuppressGoAhead, kIac, kDo,   kSuppressGoAhead};
}

void CReceiver::Feed(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& data,
                     std::vector<Event>& events) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t byte = bytes[i];
    switch (state_) {
      case State::Data:
        if (byte == kIac) {
          state_ = State::Iac;
        } else {
          data.push_back(byte);
        }
        break;
      case State::Iac:
        Command(byte, data);
        break;
      case State::Option:
        events.push_back(Event{static_cast<Event::Kind>(verb_ - kWill), byte, 0, {}});
        state_ = State::Data;
        break;
      case State::Sub:
        if (byte == kIac) {
          state_ = State::SubIac;
        } else if (sub_.size() < kMaxSubnegotiation) {
          sub_.push_back(byte);
        } else {
          subOverflow_ = true;
        }
        break;
      case State::SubIac:
        if (byte == kIac) {
          state_ = State::Sub;
          if (sub_.size() < kMaxSubnegotiation) sub_.push_back(byte);
        } else if (byte == kSe) {
          EndSubnegotiation(events);
        } else {
          // A command inside a subnegotiation ends it unfinished.
          sub_.clear();
          Command(byte, data);
        }
        break;
    }
  }
}

void CReceiver::Command(std::uint8_t byte, std::vector<std::uint8_t>& data) {
  state_ = State::Data;
  if (byte == kIac) {
    data.push_back(kIac);
  } else if (byte >= kWill) {
    verb_ = byte;
    state_ = State::Option;
  } else if (byte == kSb) {
    sub_.clear();
    subOverflow_ = false;
    state_ = State::Sub;
  }
  // NOP, GA, DM and the like carry nothing for a serial line.
}

void CReceiver::EndSubnegotiation(std::vector<Event>& events) {
  state_ = State::Data;
  if (!subOverflow_ && sub_.size() >= 2 && sub_[0] == kComPort) {
    events.push_back(
        Event{Event::ComPort, kComPort, sub_[1], std::vector<std::uint8_t>(sub_.begin() + 2, sub_.end())});
  }
  sub_.clear();
}

std::vector<std::uint8_t> COptions::Answer(const Event& event) {
  switch (event.kind) {
    case Event::Do:
      if (event.option == kComPort) comPortAccepted_ = true;
      // Our own options were offered already; anything else we will not do.
      return IsOurOption(event.option) ? std::vector<std::uint8_t>{}
                                       : std::vector<std::uint8_t>{kIac, kWont, event.option};
    case Event::Dont:
      if (event.option == kComPort) comPortRefused_ = !comPortAccepted_;
      return {};
    case Event::Will:
      return IsOurOption(event.option) ? std::vector<std::uint8_t>{}
                                       : std::vector<std::uint8_t>{kIac, kDont, event.option};
    case Event::Wont:
    case Event::ComPort:
      return {};
  }
  return {};
}

ModemBits ParseModemState(std::uint8_t state) {
  return ModemBits{(state & kModemCts) != 0, (state & kModemDsr) != 0, (state & kModemRing) != 0,
                   (state & kModemCarrier) != 0};
}

}  // namespace telnet
