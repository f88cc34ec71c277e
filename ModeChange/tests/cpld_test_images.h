#pragma once
// CPLD image files made by the tests: programming data with the
// personality mark in byte 0, then the 7-byte trailer, each field
// adjustable to make a broken file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velix::modechange::testing {

struct ImageRecipe {
  size_t size = 10000;  // whole file, trailer included; at least 7
  char personality = 'A';
  uint8_t major = 1;
  uint8_t minor = 0x05;
  int checksum_error = 0;  // added to the stored sum
  uint8_t identity_low = 0x0A;
  uint8_t file_type = 'C';
};

std::vector<uint8_t> MakeCpldImage(const ImageRecipe& recipe);
void WriteBytes(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace velix::modechange::testing
