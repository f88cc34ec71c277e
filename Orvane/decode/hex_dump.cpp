#include "Orvane/decode/hex_dump.h"

#include <algorithm>

#include "platform/string_format.h"

namespace orvane {

using velix::platform::StringPrintf;

void AppendDumpLine(const uint8_t* bytes, uint32_t count, uint32_t offset, std::string* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  *out += StringPrintf("%06X : ", offset);
  for (uint32_t i = 0; i < kDumpBytesPerLine; ++i) {
    if (i > 0) *out += i == 8 ? '-' : ' ';
    if (i < count) {
      *out += kHex[bytes[i] >> 4];
      *out += kHex[bytes[i] & 0x0F];
    } else {
      *out += "  ";
    }
  }
  *out += "  :: ";
  for (uint32_t i = 0; i < kDumpBytesPerLine; ++i) {
    if (i >= count) {
      *out += ' ';
    } else {
      *out += (bytes[i] >= 0x20 && bytes[i] <= 0x7E) ? static_cast<char>(bytes[i]) : '.';
    }
  }
  *out += '\n';
}

bool WriteHexDump(ExportWriter& writer, const uint8_t* bytes, uint32_t count) {
  std::string chunk;
  // 64-bit positions: a count near 2^32 must not wrap the loop.
  for (uint64_t start = 0; start < count; start += kDumpChunkBytes) {
    const uint64_t end = std::min<uint64_t>(count, start + kDumpChunkBytes);
    chunk.clear();
    for (uint64_t line = start; line < end; line += kDumpBytesPerLine) {
      AppendDumpLine(bytes + line, static_cast<uint32_t>(std::min<uint64_t>(kDumpBytesPerLine, end - line)),
                     static_cast<uint32_t>(line), &chunk);
    }
    if (!writer.Write(chunk)) return false;
  }
  return true;
}

}  // namespace orvane
