#include "Firmup/loader_image.h"

#include <algorithm>

namespace velix::firmup {
namespace {

// The analyzer's real loader is device firmware that ships with the device
// support and is not part of this source tree. This stand-in keeps the
// table's format and download order: the reset vector jumps to a routine
// that sets the stack pointer and parks the 8051 in an idle loop. Replace the
// records with the real loader's; nothing else depends on their contents.
constexpr LoaderRecordBytes kLoaderImage[] = {
    // 0x0080: MOV SP,#5Fh; SJMP $
    {0x05, 0x00, 0x80, 0x00, kLoaderDataRecord, 0x75, 0x81, 0x5F, 0x80, 0xFE},
    // 0x0000: LJMP 0080h
    {0x03, 0x00, 0x00, 0x00, kLoaderDataRecord, 0x02, 0x00, 0x80},
    {0x00, 0x00, 0x00, 0x00, kLoaderEndRecord},
};

}  // namespace

std::span<const LoaderRecordBytes> LoaderImage() { return kLoaderImage; }

LoaderRecord DecodeLoaderRecord(const LoaderRecordBytes& bytes) {
  LoaderRecord record;
  const size_t length = std::min<size_t>(bytes[0], kLoaderRecordDataBytes);
  record.address = static_cast<uint16_t>(bytes[2] | (bytes[3] << 8));
  record.type = bytes[4];
  record.data = std::span<const uint8_t>(&bytes[5], length);
  return record;
}

}  // namespace velix::firmup
