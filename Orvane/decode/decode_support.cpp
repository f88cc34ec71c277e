#include "Orvane/decode/decode_support.h"

#include <atomic>

#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;

bool StopRequested(DecodeContext& ctx) {
  CSamplingObj& s = ctx.sampling;
  // The stop command sets the flag together with the event, so the flag is
  // what is tested before every atom; the event (a system call to test) is
  // looked at only every few thousand calls, for a stop that set it alone.
  bool event = false;
  if (!s.m_bDoStop_SamplingAnalysis && --ctx.stop_poll_countdown == 0) {
    ctx.stop_poll_countdown = DecodeContext::kStopPollInterval;
    event = s.StopEvent.Valid() && s.StopEvent.TryConsume();
  }
  if (!s.m_bDoStop_SamplingAnalysis && !event) return false;
  if (s.StopEvent.Valid()) s.StopEvent.Reset();
  Trace("[STOP] : m_bDoStop_SamplingAnalysis = %u\n", s.m_bDoStop_SamplingAnalysis ? 1u : 0u);
  s.m_bDoStop_SamplingAnalysis = true;
  return true;
}

uint32_t ProgressReporter::Compute(uint32_t consumed, uint32_t total) {
  if (consumed == 0 || total == 0) return 0;
  if (consumed >= total) return 100;
  return static_cast<uint32_t>(uint64_t(consumed) * 100 / total);
}

void ProgressReporter::Update(uint32_t consumed) {
  const uint32_t percent = Compute(consumed, total_);
  if (percent == percent_) return;
  percent_ = percent;
  if (!ctx_.live) ctx_.events.PostProgress(13, percent);
}

void PostRunStart(DecodeContext& ctx) {
  if (ctx.live) {
    ctx.events.PostProgress(10, ctx.capture_size);
  } else {
    ctx.events.PostProgress(12, 100);
  }
}

void BeginDecodeRun(DecodeContext& ctx) {
  CSamplingObj& s = ctx.sampling;
  s.Records().ResetView();
  s.transaction_counter = 0;
  s.trigger_seen = false;
  if (ctx.live) {
    s.m_SamplingCurrentPtr = 0;
    s.m_lenSamplingDataInBuffer = 0;
    s.SamplingStopAdrs = kNoStopAddress;
    s.buffer_wrapped = false;
    s.trigger_done = false;
  }
  PostRunStart(ctx);
}

RecordRef AllocateRecord(DecodeContext& ctx, const char* danger_line, RecordRef last,
                         uint32_t progress_percent) {
  const RecordRef ref = ctx.sampling.Records().Allocate();
  if (ref != kNoRecord) return ref;
  ReportOutOfMemory(ctx, danger_line, last, progress_percent);
  return kNoRecord;
}

void ReportOutOfMemory(DecodeContext& ctx, const char* danger_line, RecordRef last,
                       uint32_t progress_percent) {
  Trace("%s", danger_line);
  Trace("  not enoght memory!!!  :: Transaction Index=%u (oneSize=%u),  pTransactionInfo=0x%X \n",
        ctx.sampling.transaction_counter.load(), 64u, last);
  Trace("    Kaiseki Pos = %u(%%) \n\n", progress_percent);
}

void CloseIntoList(DecodeContext& ctx, RecordRef ref) {
  CloseIntoList(ctx, ref, ctx.sampling.Records().At(ref));
}

LivePoll PollLiveReader(DecodeContext& ctx, uint32_t position, uint32_t consumed,
                        uint32_t needed, uint32_t protected_position, uint32_t* result,
                        uint16_t* reader_status) {
  CSamplingObj& s = ctx.sampling;
  const auto unread = [&] {
    // Free run: the ring has data ahead of the analysis position unless it
    // caught up with the write position. Oneshot: written minus consumed.
    if (ctx.settings.FreeRun) {
      const uint32_t write = s.m_SamplingCurrentPtr;
      const uint32_t size = s.m_sizeSamplingBuf;
      return write >= position ? write - position : size - position + write;
    }
    const uint32_t written = s.m_lenSamplingDataInBuffer;
    return written > consumed ? written - consumed : 0u;
  };
  const bool wait = !ctx.no_wait && unread() < needed;
  uint32_t driver_status = 0;
  const uint16_t status = ctx.reader->ReadStep(wait, protected_position, &driver_status);
  if (reader_status != nullptr) *reader_status = status;
  if (status & 0x8000) {
    Trace(" +++5 : N? ERROR!!!  <USB/DEVICE etc> : driverEventStatus = 0x%X,  drStatus=0x%X\n",
          driver_status, status);
    *result = ReaderErrorResult(status, driver_status);
    return LivePoll::kError;
  }
  if (status == kReaderFinished) return LivePoll::kFinished;
  return unread() >= needed ? LivePoll::kRead : LivePoll::kAgain;
}

}  // namespace orvane
