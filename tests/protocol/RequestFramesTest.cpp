#include <gtest/gtest.h>

#include "FakeLinkHost.h"
#include "protocol/WireFormat.h"

// The fixed request vectors come out byte for byte.
TEST(RequestFrames, FixedVectors) {
  EXPECT_EQ(ToHex(CUpsLink::BuildRequest(0xA0)), "AB 01 A0 B4");
  EXPECT_EQ(ToHex(CUpsLink::BuildRequest(0x31)), "AB 01 31 23");
  EXPECT_EQ(ToHex(CUpsLink::BuildRequest(0x36)), "AB 01 36 1E");
  EXPECT_EQ(ToHex(CUpsLink::BuildRequest(0x42, {0x00})), "AB 02 42 00 11");
  EXPECT_EQ(ToHex(CUpsLink::BuildRequest(0xC9, {0x45, 0x02})), "AB 03 C9 45 02 42");
  EXPECT_EQ(ToHex(CUpsLink::BuildRequest(0xCE, {1, 2, 3})), "AB 04 CE 01 02 03 7D");
}

// Every frame sums to 0 and the five-byte request puts its word low byte first.
TEST(RequestFrames, ChecksumAndLittleEndianWord) {
  const Frame f = CUpsLink::BuildFiveByteRequest(0x98, 0x00, 0x01, 0x4B00);
  ASSERT_EQ(f.size(), 8u);
  EXPECT_EQ(ToHex(Frame(f.begin(), f.end() - 1)), "AB 05 98 00 01 00 4B");
  std::uint8_t sum = 0;
  for (std::uint8_t b : f) sum += b;
  EXPECT_EQ(sum, 0);
}

// Authorization and service-mode frames carry our fixed codes.
TEST(RequestFrames, AuthorizationAndRawFrames) {
  const Frame auth = CUpsLink::BuildAuthorization();
  ASSERT_EQ(auth.size(), 7u);
  EXPECT_EQ(ToHex(Frame(auth.begin(), auth.begin() + 3)), "AB 04 CF");
  EXPECT_EQ(auth[3], kAuthorizationAccessCode[0]);
  EXPECT_EQ(auth[5], kAuthorizationAccessCode[2]);
  const Frame raw = CUpsLink::BuildRawRequest(kServiceModeCode, 3);
  ASSERT_EQ(raw.size(), 7u);
  EXPECT_EQ(ToHex(Frame(raw.begin(), raw.begin() + 3)), "AB 04 FF");
  EXPECT_EQ(raw[4], kServiceModeCode[1]);
  EXPECT_TRUE(CUpsLink::BuildRawRequest(nullptr, 3).empty());
  const std::vector<std::uint8_t> many(255, 0x01);
  EXPECT_EQ(CUpsLink::BuildRawRequest(many.data(), 135).size(), 139u);
  EXPECT_TRUE(CUpsLink::BuildRawRequest(many.data(), 255).empty());
}

// Start-flash sends the descriptor unchanged, addresses and sizes little-endian.
TEST(RequestFrames, StartFlashLayout) {
  EXPECT_EQ(ToHex(CUpsLink::BuildStartFlashRequest(0x02, 0x00, 0x00012345, 0x00020000)),
            "AB 0C C9 53 02 00 45 23 01 00 00 00 02 00 C0");
}

// A full program block is the 139-byte frame; oversized blocks get no frame.
TEST(RequestFrames, TransferRequestLimits) {
  CFakeLinkHost host;
  CUpsLink link;
  link.SetHost(&host);
  host.spaces[1].spaceMaxBlock = 128;
  host.spaces[2].spaceMaxBlock = 64;
  std::vector<std::uint8_t> data(129, 0x11);

  const Frame full = link.BuildTransferRequest(0xC9, 0x57, 2, 0x21, 0x8000, data.data(), 128, 1);
  ASSERT_EQ(full.size(), 139u);
  EXPECT_EQ(full[1], 136);
  EXPECT_EQ(ToHex(Frame(full.begin(), full.begin() + 10)), "AB 88 C9 57 02 21 00 80 00 00");
  std::uint8_t sum = 0;
  for (std::uint8_t b : full) sum += b;
  EXPECT_EQ(sum, 0);

  EXPECT_TRUE(link.BuildTransferRequest(0xC9, 0x57, 2, 0x21, 0, data.data(), 129, 1).empty());
  EXPECT_TRUE(link.BuildTransferRequest(0xC9, 0x57, 2, 0x21, 0, data.data(), 65, 2).empty());
  EXPECT_EQ(link.BuildTransferRequest(0xC9, 0x57, 2, 0x21, 0, data.data(), 64, 2).size(), 75u);
  EXPECT_TRUE(link.BuildTransferRequest(0xC9, 0x57, 2, 0x21, 0, data.data(), 1, 99).empty());
}

// A zero descriptor goes out as 0x33 in block requests (read and write).
TEST(RequestFrames, ZeroDescriptorInBlockRequests) {
  CFakeLinkHost host;
  CUpsLink link;
  link.SetHost(&host);
  host.spaces[1].spaceMaxBlock = 128;
  const std::uint8_t count[4] = {0x80, 0, 0, 0};
  EXPECT_EQ(ToHex(link.BuildTransferRequest(0xC9, 0x52, 1, 0x00, 0x100, count, 4, 1)),
            "AB 0C C9 52 01 33 00 01 00 00 80 00 00 00 79");
}
