#pragma once

#include <cstdint>
#include <vector>

// The fields of a sample ROM image: a valid 20-byte header, then data
// bytes that follow a simple pattern so that a wrong byte shows.
struct SampleRomFields {
  std::uint32_t load = 0x8000;
  std::uint16_t ups = 500;
  std::uint16_t module = 1;
  std::uint16_t version = 0x0300;
  std::uint16_t year = 2026;
  std::uint32_t size = 512;
  std::uint8_t seed = 0;
};

// The ROM data of the image, without the header.
std::vector<std::uint8_t> SampleRomData(const SampleRomFields& fields);
// The whole image file: header then data.
std::vector<std::uint8_t> BuildSampleRom(const SampleRomFields& fields);
