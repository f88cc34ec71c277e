#include "Orvane/ui/list/row_colours.h"

namespace orvane {

RowColours ListRowColours(uint32_t row, bool trigger) {
  // The text is almost, not quite, black.
  constexpr Rgb kRowText{8, 0, 0};
  if (trigger) return {false, {202, 237, 82}, {255, 0, 255}};
  if (row % 2 == 1) return {false, {224, 255, 255}, kRowText};
  return {true, {0, 0, 0}, kRowText};
}

}  // namespace orvane
