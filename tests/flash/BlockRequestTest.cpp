#include <gtest/gtest.h>

#include "../protocol/FakeLinkHost.h"
#include "RecordingView.h"
#include "app/ViewHost.h"
#include "flash/BlockTransfer.h"

// A read request whose 4-byte count is more than the space's maximum block
// is refused with that reason, not as a lack of memory, and nothing is sent.
TEST(BlockRequest, ARefusedReadRequestSaysWhy) {
  CFakeLinkHost host;
  CRecordingView view;
  CTranscript transcript;
  CViewHost user(transcript, view);
  CUpsLink link;
  link.SetHost(&host);
  host.spaces[1] = FlashSpace{0x33, 1, 2, 0x8000, 0x100, 1};
  const std::uint8_t image[4] = {};
  EXPECT_FALSE(VerifyImage(link, host, user, {image, 4, 1, 0x8000, 1}));
  EXPECT_EQ(view.boxes,
            std::vector<std::string>{"Unable to build the request for address 00008000: it carries 4 "
                                     "bytes, the flash space takes at most 2"});
  EXPECT_TRUE(host.writes.empty());
}
