#include "ModeChange/tests/cpld_test_images.h"

#include <fstream>

#include "ModeChange/cpld_image.h"

namespace velix::modechange::testing {

std::vector<uint8_t> MakeCpldImage(const ImageRecipe& recipe) {
  const size_t data_size = recipe.size - kImageTrailerSize;
  std::vector<uint8_t> image(data_size);
  for (size_t i = 0; i < data_size; ++i) image[i] = static_cast<uint8_t>((i * 131 + 7) >> 3);
  if (data_size > 0) image[0] = static_cast<uint8_t>(recipe.personality);
  const auto sum = static_cast<uint16_t>(ImageChecksum(image) + recipe.checksum_error);
  const uint8_t trailer[] = {static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8), recipe.identity_low, 0x03,
                             recipe.minor, recipe.major, recipe.file_type};
  image.insert(image.end(), std::begin(trailer), std::end(trailer));
  return image;
}

void WriteBytes(const std::string& path, std::span<const uint8_t> bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace velix::modechange::testing
