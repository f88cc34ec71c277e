#pragma once
// The RAM loader that SerialWriteCypress() downloads into a controller
// without firmware: a table of Intel HEX records in the order they are sent,
// each stored as 22 bytes (length at most 16, a reserved byte, load address
// little-endian, record type, 16 data bytes, a reserved byte). Data records
// (type 0) come first; the first record of another type ends the image.

#include <cstddef>
#include <cstdint>
#include <span>

namespace velix::firmup {

inline constexpr size_t kLoaderRecordBytes = 22;
inline constexpr size_t kLoaderRecordDataBytes = 16;
inline constexpr uint8_t kLoaderDataRecord = 0;
inline constexpr uint8_t kLoaderEndRecord = 1;

using LoaderRecordBytes = uint8_t[kLoaderRecordBytes];

struct LoaderRecord {
  uint16_t address = 0;
  uint8_t type = 0;
  std::span<const uint8_t> data;  // `length` bytes, never more than 16
};

std::span<const LoaderRecordBytes> LoaderImage();
LoaderRecord DecodeLoaderRecord(const LoaderRecordBytes& bytes);

}  // namespace velix::firmup
