#include <gtest/gtest.h>

#include "frontend/DialogProse.h"

namespace {

// Each paragraph and each option, with its wrapped description, becomes one
// line; the padding between an option and its description goes.
TEST(DialogProse, ParagraphsAndOptionsBecomeOneLineEach) {
  const std::string console =
      "Usage: tool [FILE]\n\nOpens the window. With FILE, the image\nis loaded.\n\nOptions:\n"
      "  -d, --device PATH        serial device for this run instead of the\n"
      "                           configured port\n"
      "  -h, --help               show this help\n\n\nExit status: 0.\n";
  EXPECT_EQ(DialogProse(console),
            "Usage: tool [FILE]\n\nOpens the window. With FILE, the image is loaded.\n\nOptions:\n"
            "-d, --device PATH: serial device for this run instead of the configured port\n"
            "-h, --help: show this help\n\nExit status: 0.");
}

}  // namespace
