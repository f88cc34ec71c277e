#pragma once
// The dump lists' colours: odd rows on a light sand tone, even rows on the
// window colour, nearly black text with a grey ASCII column, and search
// results as red digits on yellow.

#include <cstdint>

#include "Orvane/ui/list/row_colours.h"

namespace orvane::ui {

inline constexpr Rgb kDumpOddRowBackground{0xFA, 0xF2, 0xE7};
inline constexpr Rgb kDumpText{8, 0, 0};
inline constexpr Rgb kDumpAsciiText{0x5F, 0x5F, 0x5F};
inline constexpr Rgb kDumpHighlightText{0xFF, 0, 0};
inline constexpr Rgb kDumpHighlightBackground{0xFF, 0xFF, 0};

// Even rows take the system's window colour.
inline bool DumpRowOnWindowColour(uint32_t row) { return row % 2 == 0; }

}  // namespace orvane::ui
