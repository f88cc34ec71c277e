#include "ModeChange/cpld_image.h"

#include <cstdio>
#include <memory>

namespace velix::modechange {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

size_t TrailerAt(std::span<const uint8_t> image) { return image.size() - kImageTrailerSize; }

}  // namespace

ImageFile ReadImageFile(const std::string& path) {
  ImageFile file;
  if (path.empty()) return file;
  std::unique_ptr<std::FILE, FileCloser> stream(std::fopen(path.c_str(), "rb"));
  if (!stream) return file;
  // One byte more than allowed tells a too large file without reading it all.
  std::vector<uint8_t> bytes(kMaxImageSize + 1);
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), stream.get());
  if (std::ferror(stream.get())) return file;
  if (got > kMaxImageSize) {
    file.result = ImageRead::kTooLarge;
    return file;
  }
  bytes.resize(got);
  file.result = ImageRead::kRead;
  file.bytes = std::move(bytes);
  return file;
}

bool HasTrailer(std::span<const uint8_t> image) { return image.size() >= kImageTrailerSize; }

uint16_t ImageChecksum(std::span<const uint8_t> programming_data) {
  uint32_t sum = 0;
  for (const uint8_t byte : programming_data) sum += byte;
  return static_cast<uint16_t>(sum);
}

bool ChecksumMatches(std::span<const uint8_t> image) {
  const size_t at = TrailerAt(image);
  const uint16_t stored = static_cast<uint16_t>(image[at] | (image[at + 1] << 8));
  return stored == ImageChecksum(image.first(at));
}

bool IdentityMatches(std::span<const uint8_t> image) {
  const size_t at = TrailerAt(image);
  return image[at + 2] == 0x0A && image[at + 3] == 0x03;
}

bool FileTypeMatches(std::span<const uint8_t> image) { return image[image.size() - 1] == 'C'; }

uint8_t ImageVersionMinor(std::span<const uint8_t> image) { return image[image.size() - 3]; }

uint8_t ImageVersionMajor(std::span<const uint8_t> image) { return image[image.size() - 2]; }

}  // namespace velix::modechange
