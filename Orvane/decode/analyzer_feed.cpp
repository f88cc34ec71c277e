#include "Orvane/decode/analyzer_feed.h"

#include <algorithm>

namespace orvane {

namespace {

uint32_t LiveTotal(const DecodeContext& ctx) {
  return ctx.capture_size != 0 ? ctx.capture_size : ctx.sampling.m_sizeSamplingBuf.load();
}

}  // namespace

AnalyzerFeed::AnalyzerFeed(DecodeContext& ctx)
    : ctx_(ctx),
      progress_(ctx, ctx.live ? LiveTotal(ctx) : ctx.sampling.m_lenSamplingDataInBuffer.load()),
      total_(ctx.live ? LiveTotal(ctx) : ctx.sampling.m_lenSamplingDataInBuffer.load()),
      wrap_at_(ctx.live && ctx.sampling.m_sizeSamplingBuf != 0 ? ctx.sampling.m_sizeSamplingBuf.load()
                                                                : 0xFFFFFFFFu) {}

bool AnalyzerFeed::StopRequested() {
  event_countdown_ = kEventCheckAtoms;
  // The flag is already tested inline before every atom; this periodic call
  // is the one that looks at the event, so it asks for the event test now.
  ctx_.stop_poll_countdown = 1;
  return orvane::StopRequested(ctx_);
}

AnalyzerFeed::Gate AnalyzerFeed::SlowPass(uint32_t* result) {
  CSamplingObj& s = ctx_.sampling;
  if (!ctx_.live) {
    progress_.Update(consumed);
    if (consumed >= total_) return Gate::kEnd;
    // The next consumed count at which the percentage changes.
    const uint32_t percent = progress_.Percent();
    const uint64_t next = (uint64_t(percent + 1) * total_ + 99) / 100;
    ready_ = static_cast<uint32_t>(std::min<uint64_t>(std::max<uint64_t>(next, consumed + 1), total_));
    return Gate::kRead;
  }
  if (consumed >= total_ || position == s.SamplingStopAdrs.load()) return Gate::kEnd;
  if (capture_over_) {
    if (consumed >= s.m_lenSamplingDataInBuffer) return Gate::kEnd;
  } else {
    const uint32_t needed = (position & 1) ? 1 : 2;
    switch (PollLiveReader(ctx_, position, consumed, needed, protected_position, result)) {
      case LivePoll::kRead: break;
      case LivePoll::kAgain: return Gate::kAgain;
      case LivePoll::kFinished:
        // A full buffer is reported as soon as the last bytes are in; what
        // was written is still decoded before the run ends.
        if (consumed >= s.m_lenSamplingDataInBuffer) return Gate::kEnd;
        capture_over_ = true;
        break;
      case LivePoll::kError: return Gate::kError;
    }
  }
  return LiveReady();
}

bool AnalyzerFeed::HalfWordAtEnd() const {
  CSamplingObj& s = ctx_.sampling;
  if ((position & 1) != 0 || s.m_lenSamplingDataInBuffer - consumed != 1) return false;
  uint32_t left = 0;
  const uint8_t* p = s.MapPosition(position, &left);
  return p == nullptr || (p[0] & 0x10) == 0;
}

AnalyzerFeed::Gate AnalyzerFeed::LiveReady() {
  CSamplingObj& s = ctx_.sampling;
  // A word at an even position needs both bytes written unless its low
  // byte is a short atom; once the capture is over a lone low byte of a
  // long atom is where the data end.
  if (capture_over_ && HalfWordAtEnd()) return Gate::kEnd;
  // Every atom that starts one byte before the written end has its bytes.
  const uint32_t written = s.m_lenSamplingDataInBuffer;
  uint64_t ready = written > consumed + 1 ? written - 1 : consumed;
  ready = std::min<uint64_t>(ready, uint64_t(consumed) + kLivePollBytes);
  ready = std::min<uint64_t>(ready, total_);
  const uint32_t stop = s.SamplingStopAdrs;
  if (stop != kNoStopAddress && stop > position) ready = std::min<uint64_t>(ready, uint64_t(consumed) + (stop - position));
  ready_ = static_cast<uint32_t>(ready);
  return Gate::kRead;
}

}  // namespace orvane
