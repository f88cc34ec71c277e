#pragma once
// Where a trace walk can resume inside one record: a walk point every
// kAtomsPerCheckpoint atoms, recorded the first time a paint walks that far.
// Positioning the canvas at an offset then costs at most that many atom
// reads, wherever in a long transaction the offset lies. Qt-free.

#include <cstdint>
#include <vector>

#include "Orvane/ui/waveform_paint/trace_source.h"

namespace orvane::ui {

class TraceSeekIndex {
 public:
  static constexpr uint32_t kAtomsPerCheckpoint = 1024;

  // Starts over unless the index was built for this source.
  void Use(const TraceSource& source);
  const TraceSource& Source() const { return source_; }

  // The last recorded point whose clock is at or before `t` (the first
  // point when none is), after recording points up to `t` where the data
  // allow.
  TracePoint Seek(AtomWalker& walker, int64_t t);
  // Records up to `checkpoints` further points ahead of any paint; false
  // once the walk has reached the end of what the record may show.
  bool Extend(AtomWalker& walker, uint32_t checkpoints);

  size_t Checkpoints() const { return points_.size(); }

 private:
  // Walks one checkpoint further; false at the end.
  bool Advance(AtomWalker& walker);

  TraceSource source_;
  bool in_use_ = false;
  std::vector<TracePoint> points_;  // ascending clock; points_[0] = the start
  TracePoint frontier_;             // how far the recording walk got
  bool frontier_stopped_ = false;
};

}  // namespace orvane::ui
