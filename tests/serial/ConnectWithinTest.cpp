#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "serial/ConnectWithin.h"
#include "sim/VirtualClock.h"

namespace {

const PortError kRefused = PortError::Posix(ECONNREFUSED);
const PortError kUnreachable = PortError::Posix(EHOSTUNREACH);
const PortError kNoAnswer = PortError::Network(static_cast<int>(NetworkFailure::NoAnswer));

// One address a host resolved to: what an attempt on it gives, and how long
// the attempt takes.
struct Address {
  PortError outcome;
  int takesMs = 0;
  Address* ai_next = nullptr;
};

// Connects over the addresses in order; given is the time each attempt got.
struct Resolved {
  std::vector<Address> addresses;
  std::vector<int> given;

  PortError Connect(int timeoutMs) {
    for (std::size_t i = 1; i < addresses.size(); ++i) addresses[i - 1].ai_next = &addresses[i];
    CVirtualClock clock;
    return ConnectWithin(clock, timeoutMs, addresses.data(), [&](const Address& address, int leftMs) {
      given.push_back(leftMs);
      clock.SleepMs(address.takesMs);
      return address.outcome;
    });
  }
};

TEST(ConnectWithin, TriesTheAddressesInTurnUntilOneConnects) {
  Resolved connects{{{kRefused, 10}, {{}, 20}, {kRefused, 10}}, {}};
  EXPECT_FALSE(connects.Connect(5000));
  EXPECT_EQ(connects.given, (std::vector<int>{5000, 4990}));
}

TEST(ConnectWithin, TheBoundHoldsForAllTheAddressesTogether) {
  // The second address gets the 2 s the first left and fails as they end:
  // the third is never tried, and the second's failure is the outcome.
  Resolved slow{{{kRefused, 3000}, {kUnreachable, 2000}, {{}, 0}}, {}};
  EXPECT_EQ(slow.Connect(5000), kUnreachable);
  EXPECT_EQ(slow.given, (std::vector<int>{5000, 2000}));

  Resolved late{{{{}, 0}}, {}};
  EXPECT_EQ(late.Connect(0), kNoAnswer);
  EXPECT_TRUE(late.given.empty());
}

}  // namespace
