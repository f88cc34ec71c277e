#include "Orvane/ui/waveform_paint/trace_seek_index.h"

#include <algorithm>

namespace orvane::ui {

void TraceSeekIndex::Use(const TraceSource& source) {
  if (in_use_ && source == source_) return;
  source_ = source;
  in_use_ = true;
  points_.assign(1, StartOf(source));
  frontier_ = points_[0];
  frontier_stopped_ = false;
}

bool TraceSeekIndex::Advance(AtomWalker& walker) {
  for (uint32_t i = 0; i < kAtomsPerCheckpoint; ++i) {
    if (!StepAtom(walker, source_, &frontier_)) {
      frontier_stopped_ = true;
      break;
    }
  }
  if (frontier_.position != points_.back().position) points_.push_back(frontier_);
  return !frontier_stopped_;
}

bool TraceSeekIndex::Extend(AtomWalker& walker, uint32_t checkpoints) {
  for (uint32_t i = 0; i < checkpoints && !frontier_stopped_; ++i) Advance(walker);
  return !frontier_stopped_;
}

TracePoint TraceSeekIndex::Seek(AtomWalker& walker, int64_t t) {
  while (!frontier_stopped_ && frontier_.clock <= t) Advance(walker);
  const auto after = std::upper_bound(points_.begin(), points_.end(), t,
                                      [](int64_t clock, const TracePoint& p) { return clock < p.clock; });
  return after == points_.begin() ? points_.front() : *(after - 1);
}

}  // namespace orvane::ui
