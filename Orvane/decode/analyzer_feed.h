#pragma once
// Paces the analyzer decoders over the sample atoms: the stop check before
// each atom, the end of the data and the offline progress, and in a live run
// the capture reader. The common case costs one compare per atom: the slow
// path runs only when the consumed count reaches the next point at which
// something can happen (a progress step, the data end, the unread end of the
// live buffer, or the periodic reader call that keeps the driver drained
// while decoding lags behind the capture).

#include <atomic>
#include <cstdint>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/decode/decode_support.h"

namespace orvane {

class AnalyzerFeed {
 public:
  enum class Gate {
    kRead,   // the next atom may be read
    kAgain,  // live: nothing new yet, check for a stop and ask again
    kEnd,    // data end (offline), capture over or trigger stop (live)
    kError,  // live device error: `result` holds the run result
  };

  explicit AnalyzerFeed(DecodeContext& ctx);

  // Before each atom: true when the stop flag is set or the periodic check
  // of the stop event is due; then call StopRequested() to settle it.
  bool StopCheckDue() {
    return ctx_.sampling.m_bDoStop_SamplingAnalysis.load(std::memory_order_relaxed) ||
           --event_countdown_ == 0;
  }
  bool StopRequested();

  // Before each atom, after the stop check.
  Gate Pass(uint32_t* result) { return consumed < ready_ ? Gate::kRead : SlowPass(result); }

  // After Pass() said kRead: the bytes a decoder may walk in one run from
  // the analysis position before the next Pass() and the next look at the
  // stop event are due (the event countdown then counts bytes, which only
  // makes it come sooner). The stop flag itself stays tested per atom.
  uint32_t RunBytes() const {
    const uint32_t ready = ready_ - consumed;
    return ready < event_countdown_ - 1 ? ready : event_countdown_ - 1;
  }
  // Moves over the bytes of one run (at most RunBytes()); a run never
  // reaches the buffer end, so it never wraps.
  void AdvanceRun(uint32_t bytes) {
    position += bytes;
    consumed += bytes;
    event_countdown_ -= bytes;
  }
  const std::atomic<bool>& StopFlag() const { return ctx_.sampling.m_bDoStop_SamplingAnalysis; }

  void Advance(uint32_t size) {
    position += size;
    consumed += size;
    if (position >= wrap_at_) position -= wrap_at_;
  }

  uint32_t Total() const { return total_; }
  uint32_t Percent() const { return ProgressReporter::Compute(consumed, total_); }

  uint32_t position = 0;   // analysis position
  uint32_t consumed = 0;   // bytes decoded so far
  uint32_t protected_position = 0;  // free run: oldest position still needed

 private:
  static constexpr uint32_t kEventCheckAtoms = 4096;
  static constexpr uint32_t kLivePollBytes = 65536;

  Gate SlowPass(uint32_t* result);
  // Live: how far atoms may be read before the reader is asked again.
  Gate LiveReady();
  // Live, capture over: the last written byte is the first half of a long
  // atom whose second byte will never come.
  bool HalfWordAtEnd() const;

  DecodeContext& ctx_;
  ProgressReporter progress_;
  const uint32_t total_;     // offline: data bytes; live: capture size
  const uint32_t wrap_at_;   // live: the buffer size; offline: never
  uint32_t ready_ = 0;
  bool capture_over_ = false;  // live: the reader said the capture is over
  uint32_t event_countdown_ = 1;  // the first atom checks the event too
};

}  // namespace orvane
