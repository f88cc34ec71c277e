#pragma once
// The traces of the visible window reduced to pixel columns: per row and
// column, which levels the line took there (bit 0 low, bit 1 high). One pass
// over the atoms from the left edge to the right edge, however many changes
// fall into one column, so a trace costs at most one drawing operation per
// column. Qt-free.

#include <cstdint>
#include <vector>

#include "Orvane/ui/waveform_paint/trace_seek_index.h"
#include "Orvane/ui/waveform_paint/waveform_window.h"

namespace orvane::ui {

inline constexpr uint8_t kLevelLow = 0x01;
inline constexpr uint8_t kLevelHigh = 0x02;

class TraceColumns {
 public:
  // Walks rows 0..rows-1 of the line state (bit r = row r) from the left
  // edge until a run ends at or beyond the right edge, passes window.max,
  // or the data end. False, with nothing covered, when the state at the
  // left edge cannot be read.
  bool Build(AtomWalker& walker, TraceSeekIndex& index, const WaveformWindow& window, int width, int rows);

  uint8_t Levels(int row, int column) const { return levels_[static_cast<size_t>(row) * width_ + column]; }
  int Width() const { return width_; }
  int Rows() const { return rows_; }

 private:
  void Cover(uint8_t state, int64_t from, int64_t to);
  int Column(int64_t offset) const;

  std::vector<uint8_t> levels_;
  WaveformWindow window_;
  int width_ = 0;
  int rows_ = 0;
};

}  // namespace orvane::ui
