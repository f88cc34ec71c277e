#include "Orvane/decode/monitor_feed.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <thread>

#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;

namespace {
constexpr uint32_t kStopEventInterval = 256;
constexpr uint32_t kLargeBatchBytes = 4096;

// Offline, the progress is posted between batches: a batch of at most 1 %
// of the data cannot step over a percentage, so a capture that large is
// read in large batches and posts the very percentages small ones would.
uint32_t BatchBytes(const DecodeContext& ctx, uint32_t batch_bytes) {
  if (ctx.live || ctx.sampling.m_lenSamplingDataInBuffer / 100 < kLargeBatchBytes) return batch_bytes;
  return std::max(batch_bytes, kLargeBatchBytes);
}
}  // namespace

RecordRef StepRecords::FirstOfStep(TransactionStore& store) {
  // In the live pool only the newest records still exist: a step that made
  // more than the pool holds is post-processed for those that are left.
  const uint32_t reachable = store.PoolMode() ? std::min(count_, kLivePoolRecords) : count_;
  count_ = reachable;
  RecordRef ref = store.Tail();
  for (uint32_t k = 1; k < reachable && ref != kNoRecord; ++k) {
    const RecordRef prev = store.At(ref).Prev;
    if (prev == kNoRecord) {
      TraceMissing(1, k);
      count_ = k;
      return ref;
    }
    ref = prev;
  }
  return ref;
}

void StepRecords::TraceMissing(int which, uint32_t k) const {
  Trace(" *%d numTransaction = %u, kkk = %u : pTransaction->Prev == NULL @@ \n", which, count_, k);
}

MonitorFeed::MonitorFeed(DecodeContext& ctx, uint32_t unit_bytes, uint32_t batch_bytes,
                         const char* percent_trace)
    : ctx_(ctx),
      unit_bytes_(unit_bytes),
      unit_shift_(static_cast<uint32_t>(std::countr_zero(unit_bytes))),
      batch_units_(BatchBytes(ctx, batch_bytes) / unit_bytes),
      percent_trace_(percent_trace),
      free_run_(ctx.live && ctx.settings.FreeRun != 0),
      size_(ctx.sampling.m_sizeSamplingBuf),
      progress_total_(ctx.sampling.m_lenSamplingDataInBuffer),
      progress_(ctx, progress_total_) {}

FeedOutcome MonitorFeed::Next(uint32_t protected_position, uint32_t* units, uint32_t* result) {
  *units = 0;
  // The stop command sets the flag and the event together. Offline, the
  // flag is read before every batch and the event, which costs a system
  // call, only every kStopEventInterval batches; a live run asks the reader
  // anyway and looks at both every time.
  const bool look = ctx_.live || ctx_.sampling.m_bDoStop_SamplingAnalysis || ++batches_ % kStopEventInterval == 0;
  if (look && StopRequested(ctx_)) return FeedOutcome::kStop;
  return ctx_.live ? NextLive(protected_position, units, result) : NextOffline(units);
}

void MonitorFeed::UpdateProgress() {
  progress_.Update(consumed_);
  const uint32_t percent = progress_.Percent();
  // The percentage is consumed * 100 / total: it reaches percent + 1 at
  // the first count of at least (percent + 1) * total / 100, rounded up.
  const uint64_t next = (uint64_t(percent) + 1) * progress_total_;
  next_progress_ = percent >= 100 || progress_total_ == 0 ? 0xFFFFFFFFu : static_cast<uint32_t>((next + 99) / 100);
}

FeedOutcome MonitorFeed::NextOffline(uint32_t* units) {
  const uint32_t total = ctx_.sampling.m_lenSamplingDataInBuffer;
  if (consumed_ >= next_progress_) UpdateProgress();
  // A trailing piece shorter than a unit is no unit: the data end there.
  if (consumed_ >= total || total - consumed_ < unit_bytes_ || position_ >= size_) {
    return FeedOutcome::kDataEnd;
  }
  *units = std::min({batch_units_, WholeUnits(total - consumed_), WholeUnits(size_ - position_)});
  return *units == 0 ? FeedOutcome::kDataEnd : FeedOutcome::kUnits;
}

bool MonitorFeed::TriggerStopReached() const {
  const CSamplingObj& s = ctx_.sampling;
  const uint32_t stop = s.SamplingStopAdrs;
  if (stop == kNoStopAddress || Align(position_) != Align(stop)) return false;
  if (s.trigger_done) return true;
  return free_run_ ? Align(s.m_SamplingCurrentPtr) == Align(stop) : s.m_lenSamplingDataInBuffer >= stop;
}

uint32_t MonitorFeed::LiveUnread() const {
  const CSamplingObj& s = ctx_.sampling;
  if (free_run_) {
    const uint32_t write = s.m_SamplingCurrentPtr;
    return write >= position_ ? write - position_ : size_ - position_ + write;
  }
  const uint32_t written = s.m_lenSamplingDataInBuffer;
  return written > consumed_ ? written - consumed_ : 0;
}

void MonitorFeed::TraceFreeRunProgress() {
  if (!free_run_ || size_ == 0) return;
  const uint32_t percent = static_cast<uint32_t>(uint64_t(LiveUnread()) * 100 / size_);
  if (percent < 70 && percent % 5 == 0 && percent != free_run_percent_) {
    Trace(percent_trace_, percent);
  }
  free_run_percent_ = percent;
}

FeedOutcome MonitorFeed::NextLive(uint32_t protected_position, uint32_t* units, uint32_t* result) {
  CSamplingObj& s = ctx_.sampling;
  if (!free_run_ && consumed_ >= size_) return FeedOutcome::kDataEnd;
  if (TriggerStopReached()) {
    Trace("***[TRIGGER] StopAddress(0x%X) Pass!! end. (ptrAnalyze=0x%X) *** \n", s.SamplingStopAdrs.load(),
          position_);
    return FeedOutcome::kTriggerStop;
  }
  // Every poll is a request to the driver, a round trip to its host: units
  // already in the buffer are decoded first, up to kLivePollBytes between
  // two polls, so that decoding keeps pace with the device.
  if (LiveUnread() < unit_bytes_ || unpolled_bytes_ >= kLivePollBytes) {
    unpolled_bytes_ = 0;
    uint16_t status = 0;
    switch (PollLiveReader(ctx_, position_, consumed_, unit_bytes_, protected_position, result, &status)) {
      case LivePoll::kError:
        return FeedOutcome::kError;
      case LivePoll::kFinished:
        return FeedOutcome::kDataEnd;
      case LivePoll::kAgain:
        if (status == kReaderNoData && ctx_.sleep_when_idle) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return FeedOutcome::kAgain;
      case LivePoll::kRead:
        break;
    }
  }
  TraceFreeRunProgress();
  uint32_t limit = std::min(LiveUnread(), size_ - position_);
  // The batch ends where the capture is to stop after a trigger.
  const uint32_t stop = s.SamplingStopAdrs;
  if (stop != kNoStopAddress && position_ < stop) limit = std::min(limit, stop - position_);
  *units = std::min(batch_units_, WholeUnits(limit));
  // A batch that can take nothing polls again next time: waiting for the
  // writer must still see the driver's events.
  unpolled_bytes_ = *units == 0 ? kLivePollBytes : unpolled_bytes_ + *units * unit_bytes_;
  return *units == 0 ? FeedOutcome::kAgain : FeedOutcome::kUnits;
}

}  // namespace orvane
