#include "Orvane/ui/waveform_paint/trace_columns.h"

#include <algorithm>

namespace orvane::ui {

int TraceColumns::Column(int64_t offset) const {
  return static_cast<int>(std::clamp<int64_t>(PixelOf(window_, offset, width_), 0, width_ - 1));
}

void TraceColumns::Cover(uint8_t state, int64_t from, int64_t to) {
  const int first = Column(from);
  const int last = Column(to);
  for (int row = 0; row < rows_; ++row) {
    const uint8_t level = ((state >> row) & 1) ? kLevelHigh : kLevelLow;
    uint8_t* column = &levels_[static_cast<size_t>(row) * width_];
    for (int x = first; x <= last; ++x) column[x] |= level;
  }
}

bool TraceColumns::Build(AtomWalker& walker, TraceSeekIndex& index, const WaveformWindow& window, int width,
                         int rows) {
  window_ = window;
  width_ = std::max(width, 1);
  rows_ = rows;
  levels_.assign(static_cast<size_t>(rows_) * width_, 0);
  const TraceSource& source = index.Source();
  const int64_t left = window.left;

  // The state in force at the left edge: a change exactly there counts.
  TracePoint at = index.Seek(walker, left);
  if (at.clock > left) return false;
  TracePoint next = at;
  for (;;) {
    if (!StepAtom(walker, source, &next)) {
      // The data end where the state is last known: only an edge right
      // there can still be drawn.
      if (at.clock < left) return false;
      Cover(at.state, left, left);
      return true;
    }
    if (next.clock > left) break;
    at = next;
  }

  uint8_t run_state = at.state;
  int64_t run_start = left;
  for (;;) {
    if (next.state != run_state) {
      Cover(run_state, run_start, next.clock);
      if (next.clock >= window.right || next.clock > window.max) return true;
      run_state = next.state;
      run_start = next.clock;
    } else if (next.clock >= window.right) {
      // A long run already reaches the right edge; where it ends changes no
      // pixel.
      Cover(run_state, run_start, next.clock);
      return true;
    }
    at = next;
    if (!StepAtom(walker, source, &next)) {
      Cover(run_state, run_start, at.clock);
      return true;
    }
  }
}

}  // namespace orvane::ui
