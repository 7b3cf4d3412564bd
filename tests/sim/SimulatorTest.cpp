#include <gtest/gtest.h>

#include "sim/UpsSimulator.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

SimProfile Default() {
  SimProfile profile;
  std::string error;
  EXPECT_TRUE(LoadBundledSimProfile("default", profile, error)) << error;
  return profile;
}

Bytes Frame(const Bytes& body) {
  Bytes frame{0xAB, static_cast<std::uint8_t>(body.size())};
  for (std::uint8_t b : body) frame.push_back(b);
  frame.push_back(static_cast<std::uint8_t>(-SimByteSum(frame.data(), frame.size())));
  return frame;
}

Bytes Joined(const std::vector<SimOutput>& out) {
  Bytes all;
  for (const SimOutput& o : out) all.insert(all.end(), o.bytes.begin(), o.bytes.end());
  return all;
}

struct Rig {
  explicit Rig(SimProfile profile = Default()) : ups(std::move(profile)) { host.modemLines = true; }
  Bytes Send(const Bytes& bytes) {
    now += 1000;
    return Joined(ups.OnBytes(bytes.data(), bytes.size(), now, host));
  }
  Bytes Authorized(const Bytes& request) {
    Send(Frame({0xCF, 0x54, 0x4F, 0x42}));
    now += 250'000;
    return Send(request);
  }
  CUpsSimulator ups;
  SimHostLine host;
  std::int64_t now = 0;
};

const Bytes kStartComm{0xAB, 0x01, 0xA0, 0xB4};

TEST(Simulator, AnswersTheHandshakeWithFixedFrames) {
  // The start-comm request AB 01 A0 B4 after the authorization frame gets AB 09 01 81 31 99.
  Rig rig;
  EXPECT_EQ(rig.Authorized(kStartComm), (Bytes{0xAB, 0x09, 0x01, 0x81, 0x31, 0x99}));
  EXPECT_EQ(rig.Send({0xAB, 0x01, 0x31, 0x23}),
            (Bytes{0xAB, 0x01, 0x05, 0x81, 0x02, 0x10, 0x02, 0x05, 0x01, 0xB4}));
  EXPECT_EQ(rig.Send({0xAB, 0x01, 0x36, 0x1E}), (Bytes{0xAB, 0x06, 0x02, 0x81, 0xF4, 0x01, 0xD7}));
}

TEST(Simulator, IgnoresUnauthorizedAndBadChecksumRequests) {
  // Without the authorization frame start-comm gets nothing; a bad checksum is dropped silently.
  Rig rig;
  EXPECT_TRUE(rig.Send(kStartComm).empty());
  EXPECT_EQ(rig.ups.Record().unauthorized, 1);
  EXPECT_TRUE(rig.Send({0xAB, 0x01, 0x31, 0x24}).empty());
  EXPECT_EQ(rig.ups.BadChecksums(), 1);
}

TEST(Simulator, NegotiatesAndSwitchesSpeedAfterTheReply) {
  // The offered speeds come back; after the set reply the UPS listens only at the new speed.
  Rig rig;
  const Bytes reply = rig.Authorized(Frame({0x42, 0x00}));
  ASSERT_GE(reply.size(), 4u + 10);
  EXPECT_EQ(reply[4 + 1], 4);
  EXPECT_EQ(rig.Authorized(Frame({0x98, 0x00, 0x01, 0x80, 0x25})),
            (Bytes{0xAB, 0x09, 0x01, 0x81, 0x31, 0x99}));
  EXPECT_TRUE(rig.Authorized(kStartComm).empty());  // host still at 19200
  EXPECT_GT(rig.ups.Record().garbledBytes, 0);
  rig.host.baud = 9600;
  EXPECT_FALSE(rig.Authorized(kStartComm).empty());
}

TEST(Simulator, SendsPlugAndPlayOnTheLineCycle) {
  // DTR dropped, raised, then RTS raised: the string goes out at 1200 baud 7 bits, and the UPS listens at
  // 1200.
  Rig rig;
  rig.host = {1200, 7, true, false, true};
  rig.ups.OnHostLine(rig.host, 0);
  rig.host.dtr = false;
  rig.ups.OnHostLine(rig.host, 1);
  rig.host.dtr = true;
  rig.ups.OnHostLine(rig.host, 2);
  rig.host.rts = true;
  const std::vector<SimOutput> out = rig.ups.OnHostLine(rig.host, 3);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(std::string(out[0].bytes.begin(), out[0].bytes.end()),
            "(AdOST0500\\00012345\\UPS\\\\Tobrane 500058)");
  EXPECT_EQ(out[0].dataBits, 7);
  EXPECT_EQ(rig.ups.Baud(4), 1200u);
}

TEST(Simulator, SplitsLongRepliesIntoSequencedFrames) {
  // A 139-byte read reply with 40 data bytes per frame is four frames, the last marked.
  SimProfile profile = Default();
  profile.line.splitDataBytes = 40;
  Rig rig(profile);
  const Bytes reply = rig.Send(Frame({0xC9, 'R', 1, 0x33, 0x00, 0x80, 0, 0, 128, 0, 0, 0}));
  ASSERT_EQ(reply.size(), 139u + 4 * 5);
  EXPECT_EQ(reply[3], 0x01);
  EXPECT_EQ(reply[45 + 3], 0x02);
  EXPECT_EQ(reply[3 * 45 + 3], 0x84);
  EXPECT_EQ(reply[3 * 45 + 2], 19);
}

TEST(Simulator, SplitsAReplyLongerThanOneFrameAt140DataBytes) {
  // A 200-byte read is 211 data bytes: a frame of 140, then a last frame of 71.
  Rig rig;
  const Bytes reply = rig.Send(Frame({0xC9, 'R', 1, 0x33, 0x00, 0x80, 0, 0, 200, 0, 0, 0}));
  ASSERT_EQ(reply.size(), 211u + 2 * 5);
  EXPECT_EQ(reply[2], 140);
  EXPECT_EQ(reply[3], 0x01);
  EXPECT_EQ(reply[145 + 2], 71);
  EXPECT_EQ(reply[145 + 3], 0x82);
  EXPECT_EQ(reply[144], static_cast<std::uint8_t>(-SimByteSum(reply.data(), 144)));
}

TEST(Simulator, ProgramsAndReadsBackFlash) {
  // Service mode, start, two blocks, end: the flash holds them, the rest stays erased, a reset is recorded.
  Rig rig;
  EXPECT_EQ(rig.Authorized(Frame({0xFF, 0x53, 0x56, 0x43})), (Bytes{0xAB, 0x09, 0x01, 0x81, 0x31, 0x99}));
  EXPECT_EQ(rig.Send(Frame({0xC9, 'S', 1, 0x33, 0x00, 0x80, 0, 0, 0x00, 0x80, 0, 0})).at(4), 'S');
  EXPECT_EQ(rig.Send(Frame({0xC9, 'W', 1, 0x33, 0x00, 0x80, 0, 0, 1, 2, 3})).at(4), 'W');
  EXPECT_EQ(rig.Send(Frame({0xC9, 'W', 1, 0x33, 0x00, 0x00, 1, 0, 9})).at(4), 'N');  // outside the space
  EXPECT_EQ(rig.Send(Frame({0xC9, 'E', 1})).at(4), 'E');
  EXPECT_EQ(rig.ups.ReadFlash({}, 1, 0x8000, 4), (Bytes{1, 2, 3, 0xFF}));
  const Bytes read = rig.Send(Frame({0xC9, 'R', 1, 0x33, 0x01, 0x80, 0, 0, 2, 0, 0, 0}));
  EXPECT_EQ(Bytes(read.begin() + 4 + 11, read.end() - 1), (Bytes{2, 3}));
  rig.Send(Frame({0x79, 1}));
  ASSERT_EQ(rig.ups.Record().resets.size(), 1u);
  EXPECT_EQ(rig.ups.Record().resets[0].module, 1);
}

TEST(Simulator, RefusesToStartFlashOutsideServiceMode) {
  // Start-flash before service mode is refused with 'N'.
  Rig rig;
  EXPECT_EQ(rig.Send(Frame({0xC9, 'S', 1, 0x33, 0x00, 0x80, 0, 0, 0x00, 0x80, 0, 0})).at(4), 'N');
}

TEST(Simulator, RoutesToTheSelectedModule) {
  // After the route 01 00 01 is acknowledged, the ID block comes from the power module.
  Rig rig;
  EXPECT_EQ(rig.Send(Frame({0xCE, 1, 0, 1})), (Bytes{0xAB, 0x09, 0x01, 0x81, 0x31, 0x99}));
  EXPECT_EQ(rig.Send(Frame({0x31})), (Bytes{0xAB, 0x01, 0x03, 0x81, 0x01, 0x01, 0x03, 0xCB}));
  EXPECT_EQ(rig.ups.Record().route, (Bytes{1, 0, 1}));
  EXPECT_EQ(rig.Send(Frame({0xCE, 7})).at(4), '2');
}

TEST(Simulator, AppliesEachFaultOnItsOccurrence) {
  // The second ID request meets each fault kind in turn; the first and third are answered normally.
  const Bytes good{0xAB, 0x01, 0x05, 0x81, 0x02, 0x10, 0x02, 0x05, 0x01, 0xB4};
  struct Case {
    SimFaultKind kind;
    Bytes expected;
  };
  const std::vector<Case> cases = {
      {SimFaultKind::NoReply, {}},
      {SimFaultKind::Nack, {0xAB, 0xC9, 0x01, 0x81, 'N', 0xBC}},
      {SimFaultKind::Repeat, {0xAB, 0xC9, 0x01, 0x81, 0x09, 0x01}},
      {SimFaultKind::Terminate, {0xAB, 0xC9, 0x01, 0x81, 'X', 0xB2}},
      {SimFaultKind::WrongBlock, {0xAB, 0x09, 0x05, 0x81, 0x02, 0x10, 0x02, 0x05, 0x01, 0xAC}},
      {SimFaultKind::BadChecksum, {0xAB, 0x01, 0x05, 0x81, 0x02, 0x10, 0x02, 0x05, 0x01, 0xB5}},
      {SimFaultKind::UnknownStatus, {0xAB, 0x01, 0x05, 0x81, '?', 0x10, 0x02, 0x05, 0x01, 0x77}},
  };
  for (const Case& c : cases) {
    SimProfile profile = Default();
    profile.faults.push_back({SimRequestKind::IdBlock, 2, 1, c.kind});
    Rig rig(profile);
    EXPECT_EQ(rig.Send(Frame({0x31})), good);
    EXPECT_EQ(rig.Send(Frame({0x31})), c.expected) << SimFaultKindName(c.kind);
    EXPECT_EQ(rig.Send(Frame({0x31})), good);
  }
}

TEST(Simulator, GarbageDelayFlipAndHangUp) {
  // Garbage precedes the frame; a delay moves the reply; a flipped byte lands in flash; a hang-up ends the
  // line.
  SimProfile profile = Default();
  profile.faults.push_back({SimRequestKind::IdBlock, 1, 1, SimFaultKind::Garbage, 0, 3});
  profile.faults.push_back({SimRequestKind::ConfigBlock, 1, 1, SimFaultKind::Delay, 500});
  profile.faults.push_back({SimRequestKind::ProgramBlock, 1, 1, SimFaultKind::FlipFlash, 0, 0, 1});
  profile.faults.push_back({SimRequestKind::ProgramBlock, 2, 1, SimFaultKind::HangUp});
  Rig rig(profile);
  EXPECT_EQ(rig.Send(Frame({0x31})).size(), 13u);
  rig.now += 1000;
  const std::vector<SimOutput> config = rig.ups.OnBytes(Frame({0x36}).data(), 4, rig.now, rig.host);
  ASSERT_FALSE(config.empty());
  EXPECT_EQ(config[0].atUs, rig.now + 500'000);
  rig.Authorized(Frame({0xFF, 0x53, 0x56, 0x43}));
  rig.Send(Frame({0xC9, 'S', 1, 0x33, 0x00, 0x80, 0, 0, 0x00, 0x80, 0, 0}));
  rig.Send(Frame({0xC9, 'W', 1, 0x33, 0x00, 0x80, 0, 0, 1, 2, 3}));
  EXPECT_EQ(rig.ups.ReadFlash({}, 1, 0x8000, 3), (Bytes{1, 3, 3}));
  rig.now += 1000;
  const Bytes block = Frame({0xC9, 'W', 1, 0x33, 0x03, 0x80, 0, 0, 4});
  const std::vector<SimOutput> out = rig.ups.OnBytes(block.data(), block.size(), rig.now, rig.host);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(out[0].hangUp);
  EXPECT_TRUE(rig.ups.Record().hungUp);
}

TEST(Simulator, GarbageBytesPrecedeTheReply) {
  // Three garbage bytes come before the ID block frame.
  SimProfile profile = Default();
  profile.faults.push_back({SimRequestKind::IdBlock, 1, 1, SimFaultKind::Garbage, 0, 3});
  Rig rig(profile);
  const Bytes reply = rig.Send(Frame({0x31}));
  ASSERT_EQ(reply.size(), 13u);
  EXPECT_EQ(reply[3], 0xAB);
  EXPECT_NE(reply[0], 0xAB);
}

TEST(Simulator, PacesRepliesAtTheLineSpeed) {
  // At 9600 baud with pacing, a six-byte reply ends 6 ms after the latency.
  SimProfile profile = Default();
  profile.startBaud = 9600;
  profile.line.pacing = true;
  profile.line.latencyMs = 20;
  Rig rig(profile);
  rig.host.baud = 9600;
  rig.Send(Frame({0xCF, 0x54, 0x4F, 0x42}));
  rig.now += 250'000;
  const std::vector<SimOutput> out = rig.ups.OnBytes(kStartComm.data(), 4, rig.now, rig.host);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].atUs, rig.now + 4 * 1041 + 20'000 + 6 * 1041);
}

TEST(Simulator, FixedSpeedProfilesAnswerOnlyAtTheirSpeed) {
  // Without Plug-and-Play the line cycle brings nothing; start-comm is answered at the profile's one speed
  // and garbled at any other.
  struct Case {
    const char* name;
    std::uint32_t baud;
  };
  for (const Case& c : {Case{"only-9600", 9600}, Case{"only-2400", 2400}, Case{"no-pnp-19200", 19200}}) {
    SimProfile profile;
    std::string error;
    ASSERT_TRUE(LoadBundledSimProfile(c.name, profile, error)) << error;
    Rig rig(profile);
    rig.host = {1200, 7, false, false, true};
    rig.ups.OnHostLine(rig.host, 0);
    rig.host.dtr = true;
    rig.host.rts = true;
    EXPECT_TRUE(rig.ups.OnHostLine(rig.host, 1).empty()) << c.name;
    rig.host.dataBits = 8;
    rig.host.baud = c.baud == 19200 ? 9600 : 19200;
    EXPECT_TRUE(rig.Authorized(kStartComm).empty()) << c.name;
    rig.host.baud = c.baud;
    EXPECT_EQ(rig.Authorized(kStartComm), (Bytes{0xAB, 0x09, 0x01, 0x81, 0x31, 0x99})) << c.name;
    EXPECT_EQ(rig.ups.Record().pnpSent, 0);
  }
}

TEST(Simulator, GarblesRequestsAtSevenDataBits) {
  // At the right speed but seven data bits the UPS sees no frame.
  Rig rig;
  rig.host.dataBits = 7;
  EXPECT_TRUE(rig.Send(Frame({0x31})).empty());
  EXPECT_EQ(rig.ups.Record().garbledBytes, 4);
}

TEST(SimProfileLoader, NamesTheFileThatCannotBeRead) {
  // A missing profile, and a route naming a missing module profile, say which file.
  SimProfile profile;
  std::string error;
  EXPECT_FALSE(LoadSimProfile("/nonexistent/ups.json", profile, error));
  EXPECT_EQ(error, "cannot read profile /nonexistent/ups.json");
  const std::string text = R"({"pnp": null, "startBaud": 9600, "offeredBauds": [9600],
      "unit": {"controllers": [], "typeCode": 1, "cpus": []},
      "routes": [{"route": [1], "profile": "gone.json"}]})";
  EXPECT_FALSE(ParseSimProfile(text, "/nonexistent", profile, error));
  EXPECT_EQ(error, "profile field \"routes[0].profile\": cannot read /nonexistent/gone.json");
  EXPECT_FALSE(ParseSimProfile(R"({"pnp": 5})", ".", profile, error));
  EXPECT_EQ(error, "profile field \"pnp\": expected a string");
}

TEST(SimProfileLoader, NamesTheFieldAtFault) {
  // Missing fields, wrong types and overlapping spaces are reported with their path.
  const std::string unit = R"("unit": {"controllers": [], "typeCode": 1, "cpus": [{"cpu": 1, "spaces": [)";
  struct Case {
    std::string text;
    std::string message;
  };
  const std::vector<Case> cases = {
      {R"({"pnp": null, "offeredBauds": [9600], )" + unit + "]}]}}", "\"startBaud\": missing"},
      {R"({"pnp": null, "startBaud": "fast", "offeredBauds": [9600], )" + unit + "]}]}}",
       "\"startBaud\": not a number"},
      {R"({"pnp": null, "startBaud": 9600, "offeredBauds": [9600], )" + unit +
           R"({"descriptor": 51, "maxBlock": 128, "start": 0, "size": 256},
              {"descriptor": 54, "maxBlock": 128, "start": 128, "size": 256}]}]}})",
       "\"unit.cpus[0].spaces[1]\": overlaps unit.cpus[0].spaces[0]"},
      {"{", "not valid JSON"},
  };
  for (const Case& c : cases) {
    SimProfile profile;
    std::string error;
    EXPECT_FALSE(ParseSimProfile(c.text, ".", profile, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

}  // namespace
