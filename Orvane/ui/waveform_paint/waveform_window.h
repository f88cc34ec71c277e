#pragma once
// The visible window of the waveform canvas, in clock offsets from the
// transaction start: what the scroll and zoom model keeps and the painter
// reads. Qt-free.

#include <algorithm>
#include <array>
#include <cstdint>

namespace orvane::ui {

inline constexpr int kMarkerCount = 3;  // M0, M1, M2

struct WaveformWindow {
  int32_t min = 0;        // scrollable range
  int32_t max = 100;
  int32_t left = 0;       // visible window: right = left + page
  int32_t right = 100;
  uint32_t scale = 10;    // tenths of a clock per pixel, 1..500
  int32_t page = 100;     // clocks across the client width
  bool extend = false;    // the walk may run on to the next transaction
  std::array<bool, kMarkerCount> marker_shown{};
  std::array<int32_t, kMarkerCount> marker_position{};
};

// The pixel column of offset `p`: (p - left) * 10 / scale, truncating,
// clipped to the last column on the right; left of the canvas it is
// negative and not clipped.
inline int64_t PixelOf(const WaveformWindow& window, int64_t p, int client_width) {
  const int64_t x = (p - window.left) * 10 / static_cast<int64_t>(window.scale);
  return std::min<int64_t>(x, client_width - 1);
}

}  // namespace orvane::ui
