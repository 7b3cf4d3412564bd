#include <gtest/gtest.h>

#include <cstdio>

#include "TempFile.h"
#include "frontend/RomFacts.h"
#include "sim/SampleRom.h"

namespace {

const CTempFile& Models() {
  static const CTempFile file("[0]\n1 = Placeholder\n500 = Tobrane 500\n600 = Velmora\n");
  return file;
}

RomFacts Facts(const std::vector<std::uint8_t>& image) {
  return ReadRomFacts(image, Models().Path());
}

std::vector<std::uint8_t> Image(SampleRomFields fields = {}) {
  return BuildSampleRom(fields);
}

TEST(RomFacts, AWellFormedImageIsDescribedFieldByField) {
  // Every header field, the checksum verdict, the data size and the model name; nothing to refuse.
  const std::vector<std::uint8_t> image =
      Image({.load = 0x12000, .module = 2, .version = 0x0205, .size = 300});
  const RomFacts facts = Facts(image);
  EXPECT_TRUE(RomRejections(facts).empty());
  EXPECT_TRUE(RomWarnings(facts).empty());
  char sum[5];
  std::snprintf(sum, sizeof sum, "%04X", image[18] | image[19] << 8);
  const std::string date = std::to_string(image[15]) + "/" + std::to_string(image[14]) + "/2026";
  EXPECT_EQ(DescribeRomFacts("fw.rom", facts),
            "File:             fw.rom (320 bytes)\n"
            "Magic:            AA EE (correct)\n"
            "Header size:      20 bytes (declared)\n"
            "Load address:     00012000\n"
            "UPS ID:           500 = Tobrane 500\n"
            "Module:           2 = Inverter\n"
            "Version:          2.05\n"
            "Date:             " +
                date +
                "\n"
                "Header checksum:  correct (calculated " +
                sum + ", stored " + sum +
                ")\n"
                "ROM data:         300 bytes\n");
}

TEST(RomFacts, EachHeaderOpenWouldRejectIsNamed) {
  // No magic, a header over 20 bytes, an unknown UPS ID, a missing model table, no ROM data.
  std::vector<std::uint8_t> noMagic = Image();
  noMagic[0] = 0x00;
  EXPECT_EQ(RomRejections(Facts(noMagic)).at(0), "no ROM image header: the file does not start with AA EE");
  std::vector<std::uint8_t> large = Image();
  large[2] = 0x14;  // 20 + 2 = 22 bytes
  EXPECT_EQ(RomRejections(Facts(large)).at(0), "the header is too large by 2 bytes (at most 20)");
  const RomFacts unknown = Facts(Image({.ups = 999}));
  EXPECT_EQ(RomRejections(unknown).at(0),
            "UPS ID 999 is not in " + Models().Path() + ": Open would report a type mismatch");
  EXPECT_NE(DescribeRomFacts("f", unknown).find("UPS ID:           999, not in "), std::string::npos);
  EXPECT_NE(RomRejections(ReadRomFacts(Image(), "/no/such/OEMModel.ini")).at(0).find("no model table"),
            std::string::npos);
  std::vector<std::uint8_t> headerOnly = Image({.size = 0});
  EXPECT_EQ(RomRejections(Facts(headerOnly)).at(0), "the file contains no ROM data after its header");
  EXPECT_EQ(RomRejections(Facts({})).at(0), "the file is empty: no ROM image");
  EXPECT_EQ(RomRejections(Facts({0xAA})).at(0),
            "the file is only 1 bytes long: Open finds no ROM data in a file of 16 bytes or fewer");
  EXPECT_EQ(DescribeRomFacts("one.rom", Facts({0xAA})), "File:             one.rom (1 bytes)\n");
}

TEST(RomFacts, WhatOpenOnlyWarnsAboutIsAWarning) {
  // A wrong checksum, a module without a name and a short header leave the image acceptable.
  std::vector<std::uint8_t> image = Image({.module = 14});
  image[18] ^= 0x01;
  const RomFacts facts = Facts(image);
  EXPECT_TRUE(RomRejections(facts).empty());
  const std::vector<std::string> warnings = RomWarnings(facts);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0].rfind("warning: the header checksum is wrong (calculated ", 0), 0u);
  EXPECT_EQ(warnings[1],
            "warning: module code 14 has no name; Open keeps the module of the image opened before it");
  EXPECT_NE(DescribeRomFacts("f", facts).find("Header checksum:  WRONG"), std::string::npos);
  std::vector<std::uint8_t> shortHeader = Image();
  shortHeader[2] = 0x0E;  // 14 + 2 = 16 bytes
  EXPECT_EQ(
      RomWarnings(Facts(shortHeader)).back(),
      "warning: the header declares only 16 bytes; the load address then comes from the UPS's flash space");
}

}  // namespace
