#pragma once
// The mechanics every decoder run shares: the stop check before each atom or
// unit, offline progress, record allocation with its out-of-memory report,
// closing a record into the decode-order list, and the live poll of the
// capture reader.

#include <atomic>
#include <cstdint>

#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/decode_context.h"

namespace orvane {

// True when the stop flag is set or the stop event fired; traces the stop,
// consumes the event and leaves the flag set.
bool StopRequested(DecodeContext& ctx);

// Offline progress: consumed × 100 / total (100 once consumed ≥ total, 0 when
// either is 0), posted as progress code 13 whenever the percentage changes.
class ProgressReporter {
 public:
  ProgressReporter(DecodeContext& ctx, uint32_t total) : ctx_(ctx), total_(total) {}
  void Update(uint32_t consumed);
  uint32_t Percent() const { return percent_; }
  static uint32_t Compute(uint32_t consumed, uint32_t total);

 private:
  DecodeContext& ctx_;
  uint32_t total_;
  uint32_t percent_ = 0xFFFFFFFFu;
};

// The start-of-run message: offline code 12 with 100, live code 10 with the
// capture size.
void PostRunStart(DecodeContext& ctx);

// What every decode run does first: empty the view index, restart the
// transaction numbers and the trigger, and, live, start reading the capture
// from the beginning of the buffer; then the start-of-run message.
void BeginDecodeRun(DecodeContext& ctx);

// The out-of-memory report of a record or side-record allocation.
// `danger_line` is the decoder's own first line of that report.
void ReportOutOfMemory(DecodeContext& ctx, const char* danger_line, RecordRef last,
                       uint32_t progress_percent);

// A new zero-filled record, or kNoRecord after tracing the out-of-memory
// report. `danger_line` is the decoder's own first line of that report.
RecordRef AllocateRecord(DecodeContext& ctx, const char* danger_line, RecordRef last,
                         uint32_t progress_percent);

// Gives the record the next Index and links it behind the list's tail.
void CloseIntoList(DecodeContext& ctx, RecordRef ref);
// The same for a record already at hand (`record` is the store's At(ref));
// inline, as a decoder closes every record it makes.
inline void CloseIntoList(DecodeContext& ctx, RecordRef ref, TransactionInfo& record) {
  // The decoding thread is the counter's only writer: a plain store
  // publishes it without the locked read-modify-write of an increment.
  std::atomic<uint32_t>& counter = ctx.sampling.transaction_counter;
  const uint32_t index = counter.load(std::memory_order_relaxed);
  record.Index = index;
  counter.store(index + 1, std::memory_order_release);
  ctx.sampling.Records().AppendToList(ref, record);
}

// The outcome of asking the live capture reader before the next atom/unit.
enum class LivePoll {
  kRead,       // enough unread bytes at the analysis position
  kAgain,      // nothing new yet: ask again
  kFinished,   // the capture is over (buffer full or stop): result 256
  kError,      // device or driver error: *result holds the run result
};

// `needed` = bytes the next atom or unit needs at `position`; `consumed` =
// bytes decoded so far; `protected_position` is passed to a free-run reader.
// `reader_status`, when given, receives the reader's own status (the monitor
// decoders pause after an empty poll).
LivePoll PollLiveReader(DecodeContext& ctx, uint32_t position, uint32_t consumed,
                        uint32_t needed, uint32_t protected_position, uint32_t* result,
                        uint16_t* reader_status = nullptr);

}  // namespace orvane
