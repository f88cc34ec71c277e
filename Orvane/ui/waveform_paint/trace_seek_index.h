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

  size_t Checkpoints() const { return points_.size(); }

 private:
  TraceSource source_;
  bool in_use_ = false;
  std::vector<TracePoint> points_;  // ascending clock; points_[0] = the start
  TracePoint frontier_;             // how far the recording walk got
  bool frontier_stopped_ = false;
};

}  // namespace orvane::ui
