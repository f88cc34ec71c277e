#pragma once
// What one tick of the list's update timer does. The list announces new
// rows on this timer rather than per record, so a decoder appending
// thousands of records a second costs the UI a few updates a second.

#include <cstdint>

namespace orvane {

inline constexpr int kListFastIntervalMs = 100;
inline constexpr int kListSnapshotIntervalMs = 500;

struct ListTickInput {
  bool live_capture = false;
  bool analysis_running = false;
  uint32_t index_count = 0;   // the view index count, read under its lock
  uint32_t announced = 0;     // rows the list has announced so far
  bool paused = false;        // "Pause Transaction updating"
  bool ring_full = false;     // the live ring holds all of the pool's records
  int interval_ms = kListFastIntervalMs;
};

struct ListTickAction {
  bool announce = false;        // announce index_count as the row count
  bool scroll_to_last = false;
  bool take_snapshot = false;   // copy the live pool and read rows from it
  bool leave_snapshot = false;  // read rows from the view index again
  int interval_ms = kListFastIntervalMs;  // the timer's next interval
};

// During an offline analysis the index is being refilled and is left alone;
// a live capture keeps the list following its ring. A changed count is
// announced (and followed unless paused); an unchanged full ring is followed
// through a fresh snapshot at the slower interval.
ListTickAction DecideListTick(const ListTickInput& in);

}  // namespace orvane
