#pragma once
// The run and step loops the two monitor-mode decoders share: a run repeats
// steps and post-processes each step's records until a terminal result; a
// step takes batches of units from the feed until one handled unit ends it.
// The decoder supplies the unit handling, the closing of its open
// transaction and the post-processing (CRTP, so the per-unit call stays
// direct).

#include <cstdint>

#include "Orvane/capture/run_result.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/monitor_feed.h"

namespace orvane {

// Decoder must provide: ctx_, store_, feed_, step_records_, open_,
// start_position_, HandleUnit(position) → 0 or the step's result (a
// unit it keeps for a second pass still counts as one of the batch),
// Close(end_bits) → false when memory ran out, FinishStep() → true when the
// run ends there, AbandonStep() for a run that ends in an error (its last
// step's records stay as they were closed, without post-processing).
template <typename Decoder>
class MonitorRunLoop {
 public:
  uint32_t Run() {
    for (;;) {
      const uint32_t result = Step();
      const bool normal =
          result == kResultStepEnd || result == kResultDataEnd || result == kResultDataEndOpen;
      if (!normal) {
        Self().AbandonStep();
        return result;
      }
      if (Self().FinishStep()) return kResultDataEnd;
      if (result != kResultStepEnd) return result;
    }
  }

 private:
  Decoder& Self() { return static_cast<Decoder&>(*this); }

  // The oldest position still needed: the first record waiting for its
  // post-processing, else the last record, else the open transaction, else
  // the analysis position.
  uint32_t ProtectedPosition() {
    const Decoder& d = Self();
    if (!d.step_records_.Empty()) return d.step_records_.FirstPosition();
    const RecordRef tail = d.store_.Tail();
    if (tail != kNoRecord) return d.store_.At(tail).SamplePos;
    return d.open_ ? d.start_position_ : d.feed_.Position();
  }

  // Closes an open transaction as not ended; the memory error when that fails.
  bool CloseOpen(uint32_t* result) {
    if (Self().open_ && !Self().Close(kNotEnded)) {
      *result = kResultMemoryError;
      return false;
    }
    return true;
  }

  uint32_t Step() {
    Decoder& d = Self();
    for (;;) {
      uint32_t units = 0;
      uint32_t result = 0;
      // Only a live reader overwrites data: offline nothing needs protecting.
      const uint32_t protected_position = d.ctx_.live ? ProtectedPosition() : 0;
      switch (d.feed_.Next(protected_position, &units, &result)) {
        case FeedOutcome::kUnits:
          break;
        case FeedOutcome::kAgain:
          continue;
        case FeedOutcome::kStop:
          // A live capture drops the open transaction: it is decoded again
          // from the saved data.
          if (!d.ctx_.live && !CloseOpen(&result)) return result;
          return kResultDataEnd;
        case FeedOutcome::kDataEnd:
        case FeedOutcome::kTriggerStop: {
          const bool was_open = d.open_;
          if (!CloseOpen(&result)) return result;
          return was_open && !d.ctx_.live ? kResultDataEndOpen : kResultDataEnd;
        }
        case FeedOutcome::kError:
          CloseOpen(&result);
          return result;
      }
      const uint32_t result_of_batch = d.HandleBatch(units);
      if (result_of_batch != 0) return result_of_batch;
    }
  }

 protected:
  // Handles a batch unit by unit: 0 to go on, else the step's result. A
  // decoder may hide it with one that takes runs of simple units at once.
  uint32_t HandleBatch(uint32_t units) {
    Decoder& d = Self();
    for (; units > 0; --units) {
      const uint32_t result = d.HandleUnit(d.feed_.Position());
      if (result != 0) return result;
    }
    return 0;
  }
};

}  // namespace orvane
