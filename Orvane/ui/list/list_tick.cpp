#include "Orvane/ui/list/list_tick.h"

namespace orvane {

ListTickAction DecideListTick(const ListTickInput& in) {
  ListTickAction action;
  action.interval_ms = in.interval_ms;
  if (!in.live_capture && in.analysis_running) return action;
  if (in.index_count != in.announced) {
    action.announce = true;
    action.scroll_to_last = !in.paused;
    action.leave_snapshot = true;
    action.interval_ms = kListFastIntervalMs;
  } else if (in.live_capture && in.ring_full && !in.paused) {
    action.take_snapshot = true;
    action.scroll_to_last = true;
    action.interval_ms = kListSnapshotIntervalMs;
  }
  return action;
}

}  // namespace orvane
