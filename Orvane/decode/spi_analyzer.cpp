#include "Orvane/decode/spi_analyzer.h"

#include <algorithm>
#include <bit>
#include <atomic>
#include <cstddef>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/run_result.h"
#include "Orvane/decode/analyzer_feed.h"
#include "Orvane/decode/decode_support.h"
#include "Orvane/decode/short_atom_lanes.h"
#include "Orvane/decode/spi_analyzer_bits.h"
#include "Orvane/decode/spi_lines.h"
#include "platform/trace.h"

namespace orvane {

namespace {

using velix::platform::Trace;

constexpr char kOutOfMemoryLine[] =
    "\n *** [DANGER!!!] *** SPI:TransactionInfo  MEMORY ALLOCATE ERROR!!! **** [DANGER!!!] ****\n";
constexpr uint64_t kTenNsPerMillisecond = 100000;

template <class Lanes>
class SpiAnalyzerDecoder {
 public:
  explicit SpiAnalyzerDecoder(DecodeContext& ctx)
      : ctx_(ctx),
        store_(ctx.sampling.Records()),
        walker_(ctx.sampling),
        feed_(ctx),
        rules_(SpiLineRules::From(ctx.settings)),
        period_(ctx.settings.SamplePeriodCode),
        timeout_(uint64_t(ctx.settings.SpiSclkTimeout) * kTenNsPerMillisecond),
        quiet_limit_(QuietLimit(timeout_, period_)),
        sample_level_(rules_.sampling_edge == 1 ? kSpiSclk : rules_.sampling_edge == 2 ? 0 : 0xFF),
        length_bits_(uint64_t(ctx.settings.SpiDataLength) * 8) {}

  uint32_t Run();

 private:
  struct Transaction {
    uint8_t kind = 0;
    uint8_t old_signal = 0;
    uint16_t lead_in = 0;
    uint32_t start_position = 0;
    uint64_t start_clock = 0;
    uint32_t bytes = 0;
    uint32_t clocks = 0;
    uint32_t bits = 0;
    bool first_edge_ignored = false;
    uint8_t s3[kPreviewBytes] = {};
    uint8_t s2[kPreviewBytes] = {};
  };

  // The fewest quiet clocks whose time reaches the time-out; none when the
  // time-out is off or the period is zero (then no time ever reaches it).
  static uint64_t QuietLimit(uint64_t timeout, uint64_t period) {
    if (timeout == 0 || period == 0) return ~uint64_t{0};
    return (timeout + period - 1) / period;
  }

  uint32_t Step();
  template <bool kOpen, bool kSampleHigh>
  void FastRun(const uint8_t* data, uint32_t length);
  void Begin(uint8_t kind, uint16_t count, uint8_t before) {
    tx_ = Transaction{};
    tx_.kind = kind;
    tx_.start_position = feed_.position;
    tx_.start_clock = clock_;
    tx_.lead_in = count;
    tx_.old_signal = before;
    open_ = true;
  }
  uint16_t BitCountStatus() const { return tx_.bits % 8 != 0 ? kStatusBitCount : 0; }
  bool Close(uint8_t end_bits, uint16_t status, uint32_t sample_len);
  // Ends the step with `result`, closing an open transaction as not ended.
  uint32_t EndOpen(uint32_t result, uint16_t status, uint32_t sample_len) {
    if (open_ && !Close(kNotEnded, status, sample_len)) return kResultMemoryError;
    return result;
  }

  DecodeContext& ctx_;
  TransactionStore& store_;
  AtomWalker walker_;
  AnalyzerFeed feed_;
  const SpiLineRules rules_;
  const uint64_t period_;
  const uint64_t timeout_;      // 10 ns units, 0 = none
  const uint64_t quiet_limit_;  // the same in clocks
  const uint8_t sample_level_;  // SCLK level after a sampling edge; 0xFF = none
  const uint64_t length_bits_;  // bits per data-length chunk
  uint64_t clock_ = 0;
  uint8_t line_ = 0;
  Transaction tx_;
  bool open_ = false;
  uint64_t quiet_ = 0;  // clocks since the last SCLK change
  RecordRef closed_ = kNoRecord;
};

template <class Lanes>
uint32_t SpiAnalyzerDecoder<Lanes>::Run() {
  BeginDecodeRun(ctx_);
  for (;;) {
    const uint32_t result = Step();
    if (closed_ != kNoRecord &&
        (result == kResultStepEnd || result == kResultDataEnd || result == kResultDataEndOpen)) {
      TransactionInfo& record = store_.At(closed_);
      record.RecordFlags |= kRecordComplete;
      if (ctx_.live) store_.AppendToViewLive(closed_);
    }
    if (result != kResultStepEnd) return result;
    if (ctx_.live && ctx_.sampling.m_bDoStop_SamplingAnalysis) return result;
  }
}

template <class Lanes>
uint32_t SpiAnalyzerDecoder<Lanes>::Step() {
  open_ = false;
  closed_ = kNoRecord;
  quiet_ = 0;
  bool at_atom = false;
  for (;;) {
    if (feed_.StopCheckDue() && feed_.StopRequested()) {
      if (ctx_.live) open_ = false;
      return EndOpen(kResultDataEnd, BitCountStatus(), tx_.bytes);
    }
    uint32_t result = 0;
    switch (feed_.Pass(&result)) {
      case AnalyzerFeed::Gate::kRead: break;
      case AnalyzerFeed::Gate::kAgain: continue;
      case AnalyzerFeed::Gate::kEnd:
        if (ctx_.live) return EndOpen(kResultDataEnd, BitCountStatus(), tx_.bytes);
        if (!open_) return kResultDataEnd;
        return EndOpen(kResultDataEndOpen, BitCountStatus(), feed_.position - tx_.start_position);
      case AnalyzerFeed::Gate::kError: return EndOpen(result, BitCountStatus(), tx_.bytes);
    }
    // A run that stopped short of its end stopped at an atom for the
    // per-atom path: another run would stop there at once.
    const AtomWalker::Span span = at_atom ? AtomWalker::Span{} : walker_.SpanAt(feed_.position);
    const uint32_t run = std::min(span.length, feed_.RunBytes());
    at_atom = false;
    if (run >= 2) {
      const uint32_t before = feed_.consumed;
      // A pending first edge to ignore, and settings without a sampling
      // edge, are left to the per-atom path.
      const bool edge_pending = rules_.ignore_first_edge && !tx_.first_edge_ignored;
      if (!open_) {
        // An idle run would stop at once at an SS change (a select).
        if (((span.data[0] ^ line_) & kSpiSs) == 0) FastRun<false, false>(span.data, run);
      } else if (!edge_pending && sample_level_ == kSpiSclk) {
        FastRun<true, true>(span.data, run);
      } else if (!edge_pending && sample_level_ == 0) {
        FastRun<true, false>(span.data, run);
      }
      const uint32_t walked = feed_.consumed - before;
      if (walked != 0) {
        at_atom = walked + 2 <= run;
        continue;
      }
    }
    // One atom the run stopped at, or the first of a batch or window.
    const SampleAtom atom = walker_.Read(feed_.position);
    if (atom.size == kAtomAlignError) {
      Trace(" *** SPI :: SAMPLING DATA ALIGN NG!!! *** [DANGER!!!] ***\n");
      return EndOpen(kResultBadData, kStatusBadData, tx_.bytes);
    }
    if (atom.size == kAtomMapError) {
      Trace(" *** SPI :: MapView NG!!! *** [DANGER!!!] ***\n");
      EndOpen(kResultMemoryError, BitCountStatus(), tx_.bytes);
      return kResultMemoryError;
    }
    const uint8_t state = atom.state & 0x0F;
    if (atom.count == 0 && atom.size == 2) {
      // Only the reference state changes.
      if (open_) tx_.bytes += atom.size;
      line_ = state;
      feed_.Advance(atom.size);
      continue;
    }
    clock_ += atom.count;
    if (open_) {
      tx_.bytes += atom.size;
      tx_.clocks += atom.count;
      if (timeout_ != 0) {
        quiet_ += atom.count;
        if (quiet_ * period_ >= timeout_) {
          // The atom is read again from idle by the next step.
          clock_ -= atom.count;
          return Close(kEndedTimeout, BitCountStatus(), tx_.bytes) ? kResultStepEnd : kResultMemoryError;
        }
      }
    }
    const uint8_t previous = line_;
    const bool clock_changed = ((previous ^ state) & kSpiSclk) != 0;
    if (clock_changed) {
      quiet_ = 0;
      if (!open_ && rules_.ClockMayOpen(state)) Begin(kBeganClock, atom.count, previous);
    }
    if (!open_ && rules_.SsBecameActive(previous, state)) Begin(kBeganSsActive, atom.count, previous);
    bool closed = false;
    if (rules_.ignore_first_edge && !tx_.first_edge_ignored && clock_changed) {
      tx_.first_edge_ignored = true;
    } else if (open_ && rules_.SamplingEdge(previous, state)) {
      const uint32_t i = tx_.bits;
      if (i < kPreviewBytes * 8) {
        tx_.s3[i / 8] = rules_.Shift(tx_.s3[i / 8], (state >> 3) & 1);
        tx_.s2[i / 8] = rules_.Shift(tx_.s2[i / 8], (state >> 2) & 1);
      }
      ++tx_.bits;
      if (tx_.bits % 8 == 0 && tx_.bits == length_bits_) {
        if (!Close(kEndedDataLength, 0, tx_.bytes)) return kResultMemoryError;
        closed = true;
      }
    }
    if (open_ && rules_.SsBecameInactive(previous, state)) {
      if (!Close(kEndedSsInactive, BitCountStatus(), tx_.bytes)) return kResultMemoryError;
      closed = true;
    }
    line_ = state;
    feed_.Advance(atom.size);
    if (closed) return kResultStepEnd;
  }
}

// Walks the atoms that neither open nor close a transaction straight from
// the mapped bytes, with the running values in registers: SCLK and data
// line changes without an SS change. Stops before any atom the per-atom
// path must handle (an SS change, an opening SCLK change, the time-out, the
// edge that completes the data length, a zero-count or misplaced long atom)
// and when the stop flag is set. An open run starts only once the first
// edge to ignore (if any) is behind. Reads words only below `length` - 1,
// so it never walks past `length`. The short atoms at the front of the
// next Lanes::kWidth bytes are taken at once, up to an SS change or an
// opening SCLK change among them, when none of the rest is an atom the
// per-atom path must handle; otherwise one atom at a time, so the stop
// flag is seen at least every Lanes::kWidth atoms.
template <class Lanes>
template <bool kOpen, bool kSampleHigh>
void SpiAnalyzerDecoder<Lanes>::FastRun(const uint8_t* data, uint32_t length) {
  const std::atomic<bool>& stop = feed_.StopFlag();
  const uint32_t odd = feed_.position & 1;
  const uint64_t clock_before = clock_;
  const uint64_t quiet_limit = quiet_limit_;
  // The SCLK level after a sampling edge.
  const uint8_t sample_level = kSampleHigh ? kSpiSclk : 0;
  // The data length can only cut while fewer bits than it are in.
  const uint64_t bits_limit = tx_.bits < length_bits_ ? length_bits_ : ~uint64_t{0};
  // Without an SS change the SS line, and so whether an SCLK change may
  // open a transaction, stays as it is for the whole run.
  const bool clock_may_open = rules_.ClockMayOpen(line_);
  const uint32_t ss_lanes = (line_ & kSpiSs) != 0 ? ~uint32_t{0} : 0;
  const uint8_t* p = data;
  const uint8_t* const end = data + length;
  uint64_t clock = clock_;
  uint64_t quiet = quiet_;
  uint8_t line = line_;
  uint32_t bits = tx_.bits;
  SpiSampledBits sampled_bits(tx_.s3, tx_.s2, bits, rules_.msb_first);
  while (end - p >= 2) {
    if (stop.load(std::memory_order_relaxed)) break;
    Lanes block;
    uint32_t lanes = 0;
    if (end - p >= static_cast<ptrdiff_t>(Lanes::kWidth) && (lanes = block.Load(p)) != 0) {
      const uint32_t sclk = block.template Line<1>();
      uint32_t changes = sclk ^ ((sclk << 1) | ((line >> 1) & 1));
      // The atoms before the first that changes SS, or (idle) before the
      // first SCLK change that would open a transaction.
      uint32_t stops = block.template Line<0>() ^ ss_lanes;
      if (!kOpen && clock_may_open) stops |= changes;
      stops &= (uint32_t{1} << lanes) - 1;
      if (stops != 0) {
        lanes = static_cast<uint32_t>(std::countr_zero(stops));
        block.Trim(lanes);
      }
      if (lanes != 0) {
        changes &= (uint32_t{1} << lanes) - 1;
        const uint32_t sum = block.Sum();
        bool taken = true;
        if (kOpen) {
          const uint32_t samples = changes & (kSampleHigh ? sclk : ~sclk);
          const uint32_t sampled = spi_bits::OnesIn(samples) + spi_bits::OnesIn(samples >> 8);
          // The quiet count only grows within the block, so its end bounds it.
          if (quiet + sum >= quiet_limit || bits + sampled >= bits_limit) {
            taken = false;
          } else {
            if (samples != 0 && bits < kPreviewBytes * 8) {
              sampled_bits.Put(bits, SpiBlockBits(samples, block.template Line<3>(), block.template Line<2>()), sampled);
            }
            bits += sampled;
            quiet = changes != 0 ? block.SumAfter(31 - static_cast<uint32_t>(std::countl_zero(changes))) : quiet + sum;
          }
        }
        if (taken) {
          clock += sum;
          line = block.LastState();
          p += lanes;
          continue;
        }
      }
    }
    const uint32_t low = p[0];
    const uint32_t word = low | (uint32_t(p[1]) << 8);
    const bool is_short = (low & 0x10) != 0;
    const uint32_t size = is_short ? 1 : 2;
    const uint32_t count = is_short ? low >> 5 : word >> 5;
    if (!is_short && (((static_cast<uint32_t>(p - data) ^ odd) & 1) != 0 || count == 0)) break;
    const uint8_t state = static_cast<uint8_t>(low & 0x0F);
    const uint8_t changed = state ^ line;
    if (changed & kSpiSs) break;
    const bool clock_changed = (changed & kSpiSclk) != 0;
    if (kOpen) {
      if (quiet + count >= quiet_limit) break;
      const bool sample = clock_changed && (state & kSpiSclk) == sample_level;
      if (sample) {
        if (bits + uint64_t{1} >= bits_limit) break;
        if (bits < kPreviewBytes * 8) sampled_bits.Put(bits, SpiStateBits(state), 1);
        ++bits;
      }
      quiet = clock_changed ? 0 : quiet + count;
    } else if (clock_changed && clock_may_open) {
      break;
    }
    clock += count;
    line = state;
    p += size;
  }
  const uint32_t walked = static_cast<uint32_t>(p - data);
  clock_ = clock;
  quiet_ = quiet;
  line_ = line;
  if (kOpen) {
    // Every walked byte and clock belongs to the open transaction.
    sampled_bits.Store(bits);
    tx_.bytes += walked;
    tx_.clocks += static_cast<uint32_t>(clock - clock_before);
    tx_.bits = bits;
  }
  walker_.Spent(walked);
  feed_.AdvanceRun(walked);
}

template <class Lanes>
bool SpiAnalyzerDecoder<Lanes>::Close(uint8_t end_bits, uint16_t status, uint32_t sample_len) {
  open_ = false;
  const RecordRef ref = AllocateRecord(ctx_, kOutOfMemoryLine, store_.Tail(), feed_.Percent());
  if (ref == kNoRecord) return false;
  TransactionInfo& r = store_.At(ref);
  r.RecordFlags = kRecordAnalyzer;
  r.bStartEndType = static_cast<uint8_t>(tx_.kind | end_bits);
  r.Status = status;
  r.SamplePos = tx_.start_position;
  r.SampleLen = sample_len;
  r.BitCount = tx_.bits;
  r.old_Signal = tx_.old_signal;
  r.old_SignalClock = tx_.lead_in;
  r.StartClock = tx_.start_clock;
  r.Duration = tx_.clocks;
  const uint32_t preview = std::min<uint32_t>(kPreviewBytes, (tx_.bits + 7) / 8);
  r.PreviewLen = static_cast<uint8_t>(preview);
  std::copy(tx_.s3, tx_.s3 + preview, r.Preview);
  std::copy(tx_.s2, tx_.s2 + preview, r.Preview2);
  CloseIntoList(ctx_, ref);
  closed_ = ref;
  return true;
}

}  // namespace

uint32_t RunSpiAnalyzerDecode(DecodeContext& ctx) {
  SpiAnalyzerDecoder<ShortAtomLanes> decoder(ctx);
  return decoder.Run();
}

uint32_t RunSpiAnalyzerDecodeWordLanes(DecodeContext& ctx) {
  SpiAnalyzerDecoder<WordShortAtomLanes> decoder(ctx);
  return decoder.Run();
}

}  // namespace orvane
