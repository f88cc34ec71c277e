#pragma once
// The part of a monitor decode run that is the same for I2C and SPI units:
// before each batch of units the stop request, the end of the data, the
// trigger stop of a live capture and (when the decoder has caught up, or
// every 64 KB) the capture reader are looked at; then
// the batch says how many whole units may be read at the analysis position.
// In a live free-run capture the position wraps from the buffer end to the
// buffer start.

#include <cstdint>

#include "Orvane/capture/transaction_store.h"
#include "Orvane/decode/decode_context.h"
#include "Orvane/decode/decode_support.h"

namespace orvane {

// The records a decode step has closed and not yet post-processed.
class StepRecords {
 public:
  void Added(uint32_t sample_pos) {
    if (count_++ == 0) first_position_ = sample_pos;
  }
  bool Empty() const { return count_ == 0; }
  uint32_t FirstPosition() const { return first_position_; }

  // Calls fn(ref) for each of them in decode order (found by walking back
  // from the list's tail), then forgets them.
  template <typename Fn>
  void Drain(TransactionStore& store, Fn&& fn) {
    RecordRef ref = FirstOfStep(store);
    for (uint32_t k = 0; k < count_ && ref != kNoRecord; ++k) {
      const RecordRef next = store.At(ref).Next;
      fn(ref);
      if (next == kNoRecord && k + 1 < count_) TraceMissing(2, k);
      ref = next;
    }
    count_ = 0;
  }
  // Forgets them without a look at them.
  void Forget() { count_ = 0; }

 private:
  RecordRef FirstOfStep(TransactionStore& store);
  void TraceMissing(int which, uint32_t k) const;

  uint32_t count_ = 0;
  uint32_t first_position_ = 0;
};

enum class FeedOutcome {
  kUnits,        // units may be read now
  kAgain,        // nothing to read yet: ask again
  kStop,         // stop request: result 256
  kDataEnd,      // data end, full oneshot buffer or finished capture: result 256
  kTriggerStop,  // the capture reached the trigger stop position: result 256
  kError,        // device or driver error: the result is given
};

class MonitorFeed {
 public:
  // `batch_bytes`: most bytes read per batch (offline, a large capture takes
  // larger ones); `percent_trace`: the free-run progress line of the decoder.
  MonitorFeed(DecodeContext& ctx, uint32_t unit_bytes, uint32_t batch_bytes, const char* percent_trace);

  // Looks at everything that may end or delay the run, then sizes the next
  // batch. `protected_position` is the oldest position the decoder still
  // needs (a free-run reader must not overwrite it).
  FeedOutcome Next(uint32_t protected_position, uint32_t* units, uint32_t* result);

  uint32_t Position() const { return position_; }
  uint32_t OfflinePercent() const { return progress_.Percent(); }
  void Advance() {
    position_ += unit_bytes_;
    consumed_ += unit_bytes_;
    if (free_run_ && position_ >= size_) position_ = 0;
  }
  // Advance() `units` times, within one batch (which never crosses the
  // buffer end, so the position wraps at most onto its start).
  void Advance(uint32_t units) {
    position_ += units * unit_bytes_;
    consumed_ += units * unit_bytes_;
    if (free_run_ && position_ >= size_) position_ = 0;
  }

 private:
  FeedOutcome NextOffline(uint32_t* units);
  FeedOutcome NextLive(uint32_t protected_position, uint32_t* units, uint32_t* result);
  bool TriggerStopReached() const;
  uint32_t LiveUnread() const;
  void TraceFreeRunProgress();
  uint32_t Align(uint32_t position) const { return position & ~(unit_bytes_ - 1); }
  uint32_t WholeUnits(uint32_t bytes) const { return bytes >> unit_shift_; }
  void UpdateProgress();

  DecodeContext& ctx_;
  const uint32_t unit_bytes_;  // a power of two
  const uint32_t unit_shift_;
  const uint32_t batch_units_;
  const char* const percent_trace_;
  const bool free_run_;
  const uint32_t size_;
  const uint32_t progress_total_;
  ProgressReporter progress_;
  // Offline: the consumed byte count at which the percentage changes next,
  // so that a batch costs a comparison instead of a division.
  uint32_t next_progress_ = 0;
  uint32_t position_ = 0;
  uint32_t consumed_ = 0;
  uint32_t batches_ = 0;
  uint32_t free_run_percent_ = 0xFFFFFFFFu;
  uint32_t unpolled_bytes_ = 0;  // live: bytes handed out since the last poll
  static constexpr uint32_t kLivePollBytes = 65536;
};

}  // namespace orvane
