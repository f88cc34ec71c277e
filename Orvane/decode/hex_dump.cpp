#include "Orvane/decode/hex_dump.h"

#include <algorithm>

#include "Orvane/decode/text_append.h"

namespace orvane {

void AppendDumpLine(const uint8_t* bytes, uint32_t count, uint32_t offset, std::string* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  AppendHexPadded(offset, 6, '0', out);
  // " : ", 16 bytes of two digits with 15 separators, "  :: ", 16
  // characters and the "\n", built in place.
  char line[3 + 47 + 5 + kDumpBytesPerLine + 1];
  char* at = line;
  for (char c : {' ', ':', ' '}) *at++ = c;
  for (uint32_t i = 0; i < kDumpBytesPerLine; ++i) {
    if (i > 0) *at++ = i == 8 ? '-' : ' ';
    *at++ = i < count ? kHex[bytes[i] >> 4] : ' ';
    *at++ = i < count ? kHex[bytes[i] & 0x0F] : ' ';
  }
  for (char c : {' ', ' ', ':', ':', ' '}) *at++ = c;
  for (uint32_t i = 0; i < kDumpBytesPerLine; ++i) {
    const bool printable = i < count && bytes[i] >= 0x20 && bytes[i] <= 0x7E;
    *at++ = i >= count ? ' ' : printable ? static_cast<char>(bytes[i]) : '.';
  }
  *at++ = '\n';
  out->append(line, static_cast<size_t>(at - line));
}

bool WriteHexDump(ExportWriter& writer, const uint8_t* bytes, uint32_t count) {
  std::string chunk;
  chunk.reserve(std::min<uint64_t>(count, kDumpChunkBytes) / kDumpBytesPerLine * 80 + 80);
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
