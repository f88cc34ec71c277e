#pragma once
// Reads the lines that make up nearly all of a VCD value-change section
// straight from the text, without splitting it into words first: a time
// stamp "#<digits>" of up to 19 digits and a scalar value "0<code>" or
// "1<code>" with a code of one character or two printable ones, each ended
// by a bare line feed. The reader stops before any other line (keywords, vectors,
// x and z, CR LF, a longer code, a line the text ends inside, a time that
// goes back, an undeclared code), so the word reader handles it with its
// own messages and line numbers.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Orvane/interchange/logic_source.h"
#include "Orvane/interchange/vcd_identifiers.h"

namespace velix::interchange {

struct ChangeLines {
  size_t bytes = 0;       // read from the front of the text
  uint64_t lines = 0;     // line feeds among those bytes
  size_t changes = 0;     // written to the output
};

// Reads lines from `text`, which starts at the line feed ending a line
// already read, until one it does not know or `capacity` changes are out.
// `tick` is the time so far; `levels` (0 low, 1 high, one per channel) are
// updated, and a level written again unchanged gives no change.
ChangeLines ReadChangeLines(std::string_view text, const VcdIdentifiers& identifiers, uint64_t* tick,
                            uint8_t* levels, LevelChange* out, size_t capacity);

}  // namespace velix::interchange
