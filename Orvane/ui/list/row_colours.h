#pragma once
// The colours of an unselected list row: trigger row first, then the
// alternating odd rows. A selected row takes the view's highlight colours
// instead (set in the view's palette).

#include <cstdint>

namespace orvane {

struct Rgb {
  uint8_t r;
  uint8_t g;
  uint8_t b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kSelectedRowBackground{154, 205, 50};

struct RowColours {
  bool window_background = false;  // the system window colour instead of `background`
  Rgb background{0, 0, 0};
  Rgb text{0, 0, 0};
};

// `trigger`: the row's record is the trigger record (its Number cell shows
// "->").
RowColours ListRowColours(uint32_t row, bool trigger);

}  // namespace orvane
