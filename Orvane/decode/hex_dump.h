#pragma once
// The hexadecimal dump of the text export: 16 bytes a line, "%06X : "
// offset, bytes separated by " " ("-" between the eighth and the ninth),
// missing positions as two blanks, then "  :: " and the printable
// characters. Written in chunks of 256 lines (4096 bytes of data) so a long
// transaction never needs its whole dump in memory.

#include <cstdint>
#include <string>

#include "Orvane/decode/export_writer.h"

namespace orvane {

inline constexpr uint32_t kDumpBytesPerLine = 16;
inline constexpr uint32_t kDumpChunkBytes = 4096;

// Appends the line for `count` (≤ 16) bytes at dump offset `offset`,
// ending with "\n".
void AppendDumpLine(const uint8_t* bytes, uint32_t count, uint32_t offset, std::string* out);

// The whole dump; nothing for no bytes. False when a write failed.
bool WriteHexDump(ExportWriter& writer, const uint8_t* bytes, uint32_t count);

}  // namespace orvane
