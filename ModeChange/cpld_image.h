#pragma once
// CPLD image files: the programming data followed by a 7-byte trailer, at
// most 200,720 bytes in all; the device receives the whole file.
//
//   end-7  2  16-bit sum of every byte before the trailer, low byte first
//   end-5  2  device identity 0x0A 0x03
//   end-3  1  version, minor
//   end-2  1  version, major
//   end-1  1  file type 'C'

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velix::modechange {

inline constexpr size_t kMaxImageSize = 200720;
inline constexpr size_t kImageTrailerSize = 7;

enum class ImageRead { kRead, kMissing, kTooLarge };

struct ImageFile {
  ImageRead result = ImageRead::kMissing;
  std::vector<uint8_t> bytes;
};

// Reads the whole file, never more than kMaxImageSize bytes: a larger file
// is kTooLarge; no path, or a file that cannot be opened or read, kMissing.
ImageFile ReadImageFile(const std::string& path);

// The checks below need at least kImageTrailerSize bytes.
bool HasTrailer(std::span<const uint8_t> image);
bool ChecksumMatches(std::span<const uint8_t> image);
bool IdentityMatches(std::span<const uint8_t> image);
bool FileTypeMatches(std::span<const uint8_t> image);
uint8_t ImageVersionMajor(std::span<const uint8_t> image);
uint8_t ImageVersionMinor(std::span<const uint8_t> image);

// The sum the trailer must hold for `programming_data` (the bytes before it).
uint16_t ImageChecksum(std::span<const uint8_t> programming_data);

}  // namespace velix::modechange
