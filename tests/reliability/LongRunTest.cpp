#include <dirent.h>
#include <gtest/gtest.h>

#include "HeapCount.h"
#include "TestRig.h"
#include "app/CommandIds.h"

namespace {

constexpr int kCycles = 200;
constexpr SampleRomFields kImage{.load = 0x8000, .size = 1024};

// What a long run must not accumulate.
struct ProcessUse {
  int descriptors = 0;
  int threads = 0;
  HeapCount heap;

  bool operator==(const ProcessUse&) const = default;
};

int EntriesIn(const char* path) {
  int count = 0;
  if (DIR* dir = opendir(path)) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') ++count;
    closedir(dir);
  }
  return count;
}

ProcessUse MeasureUse() {
  ProcessUse use;
  use.descriptors = EntriesIn("/proc/self/fd") - 1;  // less the one that lists them
  use.threads = EntriesIn("/proc/self/task");
  use.heap = LiveHeap();
  return use;
}

std::ostream& operator<<(std::ostream& out, const ProcessUse& use) {
  return out << use.descriptors << " descriptors, " << use.threads << " threads, " << use.heap.blocks
             << " heap blocks of " << use.heap.bytes << " bytes";
}

// One cycle as a user runs it: Connect, Open, Program UPS with verify. The
// records that only the test keeps are dropped, so what stays is the loader's.
bool Cycle(CTestRig& rig, const std::string& rom) {
  rig.ups.ForgetRecord();
  rig.view = CRecordingView{};
  const bool open = rig.ConnectAndOpen(rom);
  rig.Run(kCmdProgram);
  const bool ok = open && rig.frame->Rom().programmed != 0 && rig.frame->LastVerifyPassed();
  rig.ups.ForgetRecord();
  rig.view = CRecordingView{};
  return ok;
}

TEST(LongRun, TwoHundredCyclesLeaveDescriptorsThreadsAndMemoryAsTheyWere) {
  // Connect, program and verify 200 times in one process: every cycle succeeds, and the process holds the
  // same descriptors, threads and heap blocks after the last cycle as after the first.
  CTestRig rig;
  rig.Start();
  const std::string rom = rig.WriteRom(kImage);
  // The first cycle fills what lives for the whole run (the flash space table, the transcript's buffer).
  ASSERT_TRUE(Cycle(rig, rom)) << rig.Text();
  const ProcessUse before = MeasureUse();
  int failed = 0;
  for (int i = 1; i < kCycles; ++i) failed += Cycle(rig, rom) ? 0 : 1;
  const ProcessUse after = MeasureUse();
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(rig.ups.Count(SimRequestKind::ProgramBlock), kCycles * static_cast<int>(kImage.size / 128));
  EXPECT_EQ(rig.ups.Count(SimRequestKind::ReadBlock), kCycles * static_cast<int>(kImage.size / 128));
  EXPECT_EQ(after, before);
  EXPECT_EQ(rig.Flash(kImage.load, kImage.size), SampleRomData(kImage));
}

}  // namespace
