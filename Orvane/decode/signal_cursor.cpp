#include "Orvane/decode/signal_cursor.h"

#include "platform/trace.h"

namespace orvane {

SignalCursor::SignalCursor(AtomWalker& walker, LineMapping mapping, const TransactionInfo& record,
                           uint32_t data_end, uint32_t last_position)
    : walker_(walker),
      mapping_(mapping),
      start_(record.SamplePos),
      data_end_(data_end),
      last_position_(last_position),
      position_(record.SamplePos),
      state_{static_cast<uint8_t>(record.old_Signal & mapping.mask),
             static_cast<uint8_t>(record.old_Signal & mapping.mask),
             static_cast<uint8_t>(record.old_Signal & mapping.mask)},
      at_{-int64_t(record.old_SignalClock), -int64_t(record.old_SignalClock),
          -int64_t(record.old_SignalClock)} {}

bool SignalCursor::Over(uint64_t clocks) {
  at_data_end_ = position_ >= data_end_;
  end_offset_ = at_[0] + static_cast<int64_t>(clocks);
  if (at_data_end_) {
    velix::platform::Trace(" GetSignal_NextSignal() : AnalyzePtr = 0x%X ::  OVER!!! \n", position_);
  }
  return false;
}

bool GetSignal_ClockPoint(AtomWalker& walker, LineMapping mapping, const TransactionInfo& record,
                          uint32_t data_end, uint32_t last_position, int64_t t, ClockPoint* point) {
  SignalCursor cursor(walker, mapping, record, data_end, last_position);
  // Walk until the state in force at t is the current one and the change
  // after it lies beyond t.
  uint32_t held = 0;
  for (;;) {
    const uint8_t state = cursor.State();
    const int64_t began = cursor.ChangeOffset();
    const uint8_t previous = cursor.PreviousState();
    const int64_t previous_began = cursor.PreviousChangeOffset();
    const uint8_t before_previous = cursor.StateBeforePrevious();
    const bool advanced = cursor.GetSignal_NextSignal(&held);
    // Without a further change the state lasts until the data end; beyond
    // it, or at a record boundary or a bad atom, there is no answer.
    if (!advanced && !(cursor.AtDataEnd() && t <= cursor.EndOffset())) return false;
    const int64_t ends = advanced ? cursor.ChangeOffset() : cursor.EndOffset();
    if (!advanced || ends > t) {
      if (began > t) return false;
      point->state = state;
      point->remaining = static_cast<uint32_t>(ends - t);
      const bool at_t = began == t;
      point->state_before_change = at_t ? before_previous : previous;
      point->change_offset = at_t ? previous_began : began;
      return true;
    }
  }
}

}  // namespace orvane
