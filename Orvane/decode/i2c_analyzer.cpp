#include "Orvane/decode/i2c_analyzer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/run_result.h"
#include "Orvane/decode/analyzer_feed.h"
#include "Orvane/decode/decode_support.h"
#include "Orvane/decode/i2c_timing.h"
#include "Orvane/decode/i2c_transaction.h"
#include "Orvane/decode/line_mapping.h"
#include "platform/trace.h"

// GCC keeps a value the fast walk stores on some paths only in memory, with
// a flag per value telling whether to write it back, unless it may store on
// every path. The walk stores only to its own locals, which no other thread
// can see, so it may.
#if defined(__GNUC__) && !defined(__clang__)
#define VELIX_LOCAL_STORES_ANYWHERE gnu::optimize("allow-store-data-races")
#else
#define VELIX_LOCAL_STORES_ANYWHERE
#endif

namespace orvane {

namespace {

using velix::platform::Trace;

constexpr uint32_t kOverLongClocks = 0x7FFF0001;
// The most clocks one atom carries (a long atom's 11-bit count).
constexpr uint32_t kMaxAtomClocks = 0x7FF;
constexpr uint32_t kBlockBytes = 64;

// The atom word at `at`: its low byte first (a short atom uses only that).
inline uint32_t AtomWordAt(const uint8_t* at) {
  if constexpr (std::endian::native == std::endian::little) {
    uint16_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
  } else {
    return at[0] | (uint32_t(at[1]) << 8);
  }
}
std::array<uint8_t, 256> LinesOfLowByte(const LineMapping& mapping) {
  std::array<uint8_t, 256> lines{};
  for (uint32_t low = 0; low < lines.size(); ++low) lines[low] = mapping.Map(static_cast<uint8_t>(low));
  return lines;
}

constexpr char kOutOfMemoryLine[] =
    "\n *** [DANGER!!!] *** I2C:TransactionInfo  MEMORY ALLOCATE ERROR!!! **** [DANGER!!!] ****\n";

class I2CAnalyzerDecoder {
 public:
  explicit I2CAnalyzerDecoder(DecodeContext& ctx)
      : ctx_(ctx),
        store_(ctx.sampling.Records()),
        walker_(ctx.sampling),
        feed_(ctx),
        mapping_(LineMappingFor(ctx.settings)),
        lines_of_byte_(LinesOfLowByte(mapping_)),
        hs_enabled_(ctx.settings.HsEnable != 0),
        ignore_nack_before_stop_(ctx.settings.IgnoreNackBeforeStop != 0),
        verifier_(walker_, store_, ctx.settings, feed_.Total()),
        tracking_(!ctx.live && ctx.verify_timing) {}

  uint32_t Run();

 private:
  uint32_t Step();
  template <bool kOpen, bool kTrack>
  [[gnu::noinline, VELIX_LOCAL_STORES_ANYWHERE]] void FastRun(const uint8_t* data, uint32_t length);
  void PostProcess();
  // Whether the lines change after the analysis position before a clock
  // passes (a walk of the last record would take that change in).
  bool ChangeWithinClockFollows();
  // Timing verification of the step's `k`-th new record.
  bool Verify(uint32_t k, RecordRef ref);
  uint32_t EndOpen(uint32_t result, uint16_t extra_status);
  // Closes the open transaction into a new record; false when no record
  // could be allocated.
  bool Close(uint8_t end_bits, uint32_t bit_count, uint32_t sample_len, uint32_t duration,
             uint16_t extra_status);
  bool CloseAtBoundary(uint8_t end_bits);
  bool CloseNotEnded(uint16_t extra_status) {
    return Close(kNotEnded, tx_.n, tx_.bytes, tx_.clocks,
                 static_cast<uint16_t>(extra_status | (tx_.n % 9 != 0 ? kStatusBitCount : 0)));
  }

  DecodeContext& ctx_;
  TransactionStore& store_;
  AtomWalker walker_;
  AnalyzerFeed feed_;
  const LineMapping mapping_;
  // The mapped lines of every atom's low byte: one load where the fast walk
  // would shift and mask.
  const std::array<uint8_t, 256> lines_of_byte_;
  const bool hs_enabled_;
  const bool ignore_nack_before_stop_;
  I2CTimingVerifier verifier_;
  // Offline with timing verification: the decoder measures as it reads.
  const bool tracking_;
  I2CTimingTrack track_;
  // Kept across steps.
  uint64_t clock_ = 0;
  uint8_t line_ = 0;
  // Per step.
  I2CStepMemory memory_;
  I2CTransaction tx_;
  bool open_ = false;
  uint32_t new_records_ = 0;
  bool out_of_memory_ = false;
};

uint32_t I2CAnalyzerDecoder::Run() {
  BeginDecodeRun(ctx_);
  for (;;) {
    const uint32_t result = Step();
    if (result == kResultStepEnd || result == kResultDataEnd || result == kResultDataEndOpen) {
      PostProcess();
      if (out_of_memory_) return kResultMemoryError;
    }
    if (result != kResultStepEnd) return result;
    if (ctx_.live && ctx_.sampling.m_bDoStop_SamplingAnalysis) return result;
  }
}

uint32_t I2CAnalyzerDecoder::EndOpen(uint32_t result, uint16_t extra_status) {
  if (open_ && !CloseNotEnded(extra_status)) return kResultMemoryError;
  return result;
}

uint32_t I2CAnalyzerDecoder::Step() {
  memory_ = I2CStepMemory{};
  open_ = false;
  new_records_ = 0;
  track_.BeginStep();
  for (;;) {
    if (feed_.StopCheckDue() && feed_.StopRequested()) {
      // A live run drops the open transaction: its end never arrives.
      if (ctx_.live) open_ = false;
      return EndOpen(kResultDataEnd, 0);
    }
    uint32_t result = 0;
    switch (feed_.Pass(&result)) {
      case AnalyzerFeed::Gate::kRead: break;
      case AnalyzerFeed::Gate::kAgain: continue;
      case AnalyzerFeed::Gate::kEnd:
        if (ctx_.live) return EndOpen(kResultDataEnd, 0);
        return open_ ? EndOpen(kResultDataEndOpen, 0) : kResultDataEnd;
      case AnalyzerFeed::Gate::kError: return EndOpen(result, 0);
    }
    const AtomWalker::Span span = walker_.SpanAt(feed_.position);
    const uint32_t run = std::min(span.length, feed_.RunBytes());
    if (run >= 2) {
      const uint32_t before = feed_.consumed;
      if (!open_) {
        FastRun<false, false>(span.data, run);
      } else if (tracking_) {
        // The open record's first SCL edge is taken below, one atom.
        if (track_.Current().measure.SclEdgeSeen()) FastRun<true, true>(span.data, run);
      } else {
        FastRun<true, false>(span.data, run);
      }
      if (feed_.consumed != before) continue;
    }
    // One atom the run stopped at, or the first of a batch or window.
    const SampleAtom atom = walker_.Read(feed_.position);
    if (atom.size == kAtomAlignError) {
      Trace(" *** I2C :: SAMPLING DATA ALIGN NG!!! *** [DANGER!!!] ***\n");
      const uint32_t end = EndOpen(kResultBadData, kStatusBadData);
      Trace(" SAMPLING DATA ALIGN NG!!! *** [DANGER!!!] ***\n");
      return end;
    }
    if (atom.size == kAtomMapError) {
      Trace(" *** I2C :: MapView NG!!! *** [DANGER!!!] ***\n");
      EndOpen(kResultMemoryError, 0);
      return kResultMemoryError;
    }
    const uint8_t state = mapping_.Map(atom.state);
    clock_ += atom.count;
    if (open_) {
      tx_.bytes += atom.size;
      tx_.clocks += atom.count;
    }
    const uint8_t previous = line_;
    line_ = state;
    // A zero-count long atom only replaces the reference state.
    const bool classified = state != previous && (atom.count != 0 || atom.size != 2);
    const I2CEdge edge = classified ? ClassifyI2CEdge(previous, state) : I2CEdge::kNone;
    // A repeated START belongs to the record it opens.
    if (tracking_ && open_ && state != previous && edge != I2CEdge::kStart) track_.Change(state, tx_.clocks);
    if (classified) {
      switch (edge) {
        case I2CEdge::kNone: break;
        case I2CEdge::kSclRise:
          if (open_) tx_.OnRise((state >> 1) & 1, hs_enabled_, memory_, tx_.bytes, tx_.clocks);
          break;
        case I2CEdge::kStart:
          if (open_) {
            if (!CloseAtBoundary(kEndedRepeatedStart)) return kResultMemoryError;
            if (hs_enabled_ && memory_.hs == HsState::kMasterCodeNacked) memory_.hs = HsState::kTransfer;
            tx_.Begin(kBeganRepeatedStart, feed_.position, clock_, atom.count, previous);
            open_ = true;
            if (tracking_) track_.Open(state, previous, atom.count);
          } else {
            memory_.hs = HsState::kNone;
            tx_.Begin(kBeganStart, feed_.position, clock_, atom.count, previous);
            open_ = true;
            if (tracking_) track_.Open(state, previous, atom.count);
          }
          break;
        case I2CEdge::kStop:
          feed_.Advance(atom.size);
          if (open_ && !CloseAtBoundary(kEndedStop)) return kResultMemoryError;
          return kResultStepEnd;
      }
    }
    feed_.Advance(atom.size);
    if (open_ && tx_.clocks >= kOverLongClocks) {
      return CloseNotEnded(kStatusNotEnd) ? kResultStepEnd : kResultMemoryError;
    }
  }
}

// Walks the atoms that can neither open nor close a transaction straight
// from the mapped bytes, with the running values, the open transaction and
// its timing measurement in locals (registers, not this object, which every
// byte store would make the compiler read again). Stops before any atom the
// per-atom path must handle (START, STOP, a zero-count long atom, a
// misplaced long atom, the over-long limit) and when the stop flag is set.
// Reads words only below `length` - 1, so it never walks past `length`.
template <bool kOpen, bool kTrack>
void I2CAnalyzerDecoder::FastRun(const uint8_t* data, uint32_t length) {
  const std::atomic<bool>& stop = feed_.StopFlag();
  const uint32_t odd = feed_.position & 1;
  const uint8_t* const lines_of_byte = lines_of_byte_.data();
  const bool hs_enabled = hs_enabled_;
  uint64_t clock = clock_;
  uint8_t line = line_;
  I2CTransaction tx;
  I2CStepMemory memory;
  I2CTimingTrack::OpenRecord timing;
  if constexpr (kOpen) {
    tx = tx_;
    memory = memory_;
  }
  if constexpr (kTrack) timing = track_.Current();
  // The open record's bytes grow with `i` and the run's clocks with its
  // clocks, so one running value each serves both.
  const uint32_t bytes_before = tx.bytes;
  const uint32_t clocks_before = tx.clocks;
  uint32_t clocks = tx.clocks;
  uint32_t i = 0;
  // The newest change of the measured record and the state before it,
  // where the measurement would keep a history. An SCL edge was seen, so
  // the newest change lies inside the record: a 32-bit offset.
  uint8_t before_last = 0;
  uint32_t last_change = 0;
  if constexpr (kTrack) {
    before_last = timing.measure.StateBeforeLast();
    last_change = static_cast<uint32_t>(timing.measure.LastChange());
  }
  // Takes one atom of `size` bytes whose low byte is `low`; false when the
  // per-atom path must take it. `kChecked`: the over-long limit may be
  // reached within the block. Both lambdas are forced inline: were either
  // left out of line, every local they capture would live in memory.
  const auto take = [&]<bool kChecked>(uint32_t low, uint32_t count, uint32_t size) __attribute__((always_inline)) {
    const uint8_t state = lines_of_byte[low];
    const uint8_t changed = state ^ line;
    if ((changed & (kSclLine | kSdaLine)) == kSdaLine && (state & kSclLine)) return false;
    if (kOpen && kChecked && clocks + count >= kOverLongClocks) return false;
    line = state;
    i += size;
    if constexpr (kOpen) {
      clocks += count;
      // One branch on the kind of change serves the bits and the timing,
      // each kind noting itself as the newest change.
      [[maybe_unused]] const auto note = [&]() __attribute__((always_inline)) {
        before_last = static_cast<uint8_t>(state ^ changed);
        last_change = clocks;
      };
      if ((changed & kSclLine) != 0) {
        if ((state & kSclLine) != 0) {
          if constexpr (kTrack) {
            note();
            timing.measure.template Rise<true>(state, changed, clocks, timing.measured);
          }
          tx.OnRise(static_cast<uint8_t>((state >> 1) & 1), hs_enabled, memory, bytes_before + i, clocks);
        } else if constexpr (kTrack) {
          note();
          timing.measure.template Fall<true>(state, changed, clocks, timing.measured);
        }
      } else if (kTrack && changed != 0) {
        note();
        timing.measure.template Other<true>(state, changed, clocks);
      }
    } else {
      clock += count;
    }
    return true;
  };
  // Blocks of at most kBlockBytes bytes, so the stop flag is read once a
  // block and, while the limit is a block's worth of clocks away, an atom
  // needs no over-long test.
  const auto block = [&]<bool kChecked>(uint32_t end) __attribute__((always_inline)) {
    while (i < end) {
      const uint32_t word = AtomWordAt(data + i);
      const uint32_t low = word & 0xFF;
      const bool is_short = (low & 0x10) != 0;
      const uint32_t size = is_short ? 1 : 2;
      const uint32_t count = is_short ? low >> 5 : word >> 5;
      if (!is_short && (((i ^ odd) & 1) != 0 || count == 0)) return false;
      if (!take.template operator()<kChecked>(low, count, size)) return false;
    }
    return true;
  };
  while (i + 1 < length && !stop.load(std::memory_order_relaxed)) {
    const uint32_t end = i + std::min(length - 1 - i, kBlockBytes);
    const bool far = !kOpen || clocks < kOverLongClocks - kBlockBytes * kMaxAtomClocks;
    if (!(far ? block.template operator()<false>(end) : block.template operator()<true>(end))) break;
  }
  if constexpr (kTrack) timing.measure.SettleFastWalk(line, last_change, before_last);
  line_ = line;
  if constexpr (kOpen) {
    clock_ = clock + (clocks - clocks_before);
    tx.bytes = bytes_before + i;
    tx.clocks = clocks;
    tx_ = tx;
    memory_ = memory;
  } else {
    clock_ = clock;
  }
  if constexpr (kTrack) track_.Current() = timing;
  walker_.Spent(i);
  feed_.AdvanceRun(i);
}

bool I2CAnalyzerDecoder::CloseAtBoundary(uint8_t end_bits) {
  const uint32_t bits = tx_.n > 0 ? tx_.n - 1 : 0;
  const uint16_t status = (tx_.n == 0 || bits % 9 != 0) ? kStatusBitCount : 0;
  if (end_bits == kEndedRepeatedStart) {
    tx_.nack = tx_.nack || tx_.last_ack;
    return Close(end_bits, bits, tx_.bytes_at_rise, tx_.clocks_at_rise, status);
  }
  if (!ignore_nack_before_stop_) tx_.nack = tx_.nack || tx_.last_ack;
  const bool closed = Close(end_bits, bits, tx_.bytes, tx_.clocks, status);
  memory_.hs = HsState::kNone;
  return closed;
}

bool I2CAnalyzerDecoder::Close(uint8_t end_bits, uint32_t bit_count, uint32_t sample_len,
                               uint32_t duration, uint16_t extra_status) {
  open_ = false;
  const RecordRef ref = AllocateRecord(ctx_, kOutOfMemoryLine, store_.Tail(), feed_.Percent());
  if (ref == kNoRecord) {
    out_of_memory_ = true;
    return false;
  }
  TransactionInfo& r = store_.At(ref);
  r.RecordFlags = kRecordI2C | kRecordAnalyzer;
  r.bStartEndType = static_cast<uint8_t>(tx_.kind | end_bits);
  r.Status = static_cast<uint16_t>(tx_.status | extra_status);
  r.SamplePos = tx_.start_position;
  r.SampleLen = sample_len;
  r.BitCount = bit_count;
  r.old_Signal = tx_.old_signal;
  r.old_SignalClock = tx_.lead_in;
  r.StartClock = tx_.start_clock;
  r.Duration = duration;
  r.i2c.I2CAddress = static_cast<uint16_t>((tx_.upper << 8) | tx_.low);
  r.i2c.I2CFlags = static_cast<uint16_t>(
      (tx_.ten_bit ? kI2C10Bit : 0) | (tx_.rw ? kI2CRead : 0) | (tx_.nack ? kI2CNack : 0) |
      (memory_.hs == HsState::kTransfer ? kI2CHsTransfer : 0) |
      (memory_.hs == HsState::kMasterCodeNacked ? kI2CHsMasterCode : 0));
  // Preview: the data bytes after the address byte(s).
  tx_.CommitPartialByte(bit_count == tx_.n ? tx_.n : (tx_.n > 0 ? tx_.n - 1 : 0));
  const uint32_t data_bytes = (bit_count + 8) / 9;
  const uint32_t address_bytes = (tx_.ten_bit && tx_.rw == 0) ? 2 : 1;
  const uint32_t preview = data_bytes > address_bytes ? std::min<uint32_t>(10, data_bytes - address_bytes) : 0;
  r.PreviewLen = static_cast<uint8_t>(preview);
  std::memcpy(r.Preview, tx_.preview + address_bytes, preview);
  CloseIntoList(ctx_, ref);
  ++new_records_;
  if (tracking_) track_.Close(end_bits, duration, tx_.clocks);
  return true;
}

bool I2CAnalyzerDecoder::ChangeWithinClockFollows() {
  for (uint32_t position = feed_.position; position < feed_.Total();) {
    const SampleAtom atom = walker_.Read(position);
    if (atom.size != 1 && atom.size != 2) return false;
    if (atom.count != 0) return false;
    if (mapping_.Map(atom.state) != line_) return true;
    position += atom.size;
  }
  return false;
}

bool I2CAnalyzerDecoder::Verify(uint32_t k, RecordRef ref) {
  const I2CMeasuredTiming* measured = track_.Result(k);
  return measured != nullptr ? verifier_.Apply(ref, *measured) : verifier_.Verify(ref);
}

void I2CAnalyzerDecoder::PostProcess() {
  if (new_records_ == 0) return;
  if (track_.LastAwaits()) track_.Settle(ChangeWithinClockFollows());
  const uint32_t count = ctx_.sampling.transaction_counter;
  RecordRef ref = store_.Tail();
  for (uint32_t k = 1; k < new_records_; ++k) {
    const RecordRef previous = store_.At(ref).Prev;
    if (previous == kNoRecord) {
      Trace(" *1 numTransaction = %u, kkk = %u : pTransaction->Prev == NULL @@ \n", count, k);
      break;
    }
    ref = previous;
  }
  for (uint32_t k = 0; k < new_records_; ++k) {
    if (ref == kNoRecord) {
      Trace(" *2 numTransaction = %u, kkk = %u : pTransaction->Prev == NULL @@ \n", count, k);
      break;
    }
    if (tracking_ && !Verify(k, ref)) {
      ReportOutOfMemory(ctx_, kOutOfMemoryLine, ref, feed_.Percent());
      out_of_memory_ = true;
      return;
    }
    TransactionInfo& record = store_.At(ref);
    record.RecordFlags |= kRecordComplete;
    if (ctx_.live) store_.AppendToViewLive(ref);
    ref = record.Next;
  }
  new_records_ = 0;
}

}  // namespace

uint32_t RunI2CAnalyzerDecode(DecodeContext& ctx) {
  I2CAnalyzerDecoder decoder(ctx);
  return decoder.Run();
}

}  // namespace orvane
