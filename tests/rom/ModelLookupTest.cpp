#include <gtest/gtest.h>

#include "ini/ModelLookup.h"
#include "tests/support/TempFile.h"

namespace {

const char* const kThree = "[0]\n10 = Alpha\n20 = Beta\n30 = Gamma\n";

}  // namespace

// Later entries match after one or two further reads.
TEST(ModelLookup, FindsLaterEntries) {
  CTempFile file(kThree);
  const ModelLookupResult beta = LookupModel(20, file.Path());
  EXPECT_TRUE(beta.matched);
  EXPECT_EQ(beta.name, "Beta");
  EXPECT_TRUE(beta.lastReadYielded);
  EXPECT_TRUE(beta.firstReadYielded);
  const ModelLookupResult gamma = LookupModel(30, file.Path());
  EXPECT_TRUE(gamma.matched);
  EXPECT_EQ(gamma.name, "Gamma");
}

// The first entry is not compared while later ones exist: 10 runs to the limit, and no
// match names nothing rather than the entry last read.
TEST(ModelLookup, FirstEntryIsComparedOnlyWhenAlone) {
  CTempFile file(kThree);
  const ModelLookupResult alpha = LookupModel(10, file.Path());
  EXPECT_FALSE(alpha.matched);
  EXPECT_EQ(alpha.name, "");
  EXPECT_FALSE(alpha.lastReadYielded);

  CTempFile single("[0]\n10 = Alpha\n");
  const ModelLookupResult alone = LookupModel(10, single.Path());
  EXPECT_TRUE(alone.matched);
  EXPECT_EQ(alone.name, "Alpha");
  EXPECT_FALSE(alone.lastReadYielded);
}

// The search runs on into later sections; codes above 65535 never match.
TEST(ModelLookup, SearchesLaterSectionsAndWholeCodes) {
  CTempFile file("[0]\n1=One\n65556=Wide\n[1]\n  20 =  Rendal Power  ; mains\n");
  const ModelLookupResult r = LookupModel(20, file.Path());
  EXPECT_TRUE(r.matched);
  EXPECT_EQ(r.name, "Rendal Power");
}

// No file, or no [0] section: an empty name and no match.
TEST(ModelLookup, MissingFileOrSection) {
  const ModelLookupResult missing = LookupModel(10, "/nonexistent/tobrane/OEMModel.ini");
  EXPECT_FALSE(missing.matched);
  EXPECT_EQ(missing.name, "");
  EXPECT_FALSE(missing.firstReadYielded);
  CTempFile noZero("[1]\n10 = Alpha\n");
  const ModelLookupResult r = LookupModel(10, noZero.Path());
  EXPECT_FALSE(r.matched);
  EXPECT_EQ(r.name, "");
}

// A match on the hundredth read counts as no match.
TEST(ModelLookup, HundredthReadIsTooLate) {
  std::string content = "[0]\n";
  for (int code = 1; code <= 101; ++code)
    content += std::to_string(code) + "=m" + std::to_string(code) + "\n";
  CTempFile file(content);
  EXPECT_TRUE(LookupModel(100, file.Path()).matched);
  const ModelLookupResult late = LookupModel(101, file.Path());
  EXPECT_FALSE(late.matched);
  EXPECT_EQ(late.name, "");
}
