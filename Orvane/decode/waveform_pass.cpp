#include "Orvane/decode/waveform_pass.h"

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/run_result.h"
#include "Orvane/decode/analyzer_feed.h"
#include "Orvane/decode/decode_support.h"
#include "platform/trace.h"

namespace orvane {

namespace {

using velix::platform::Trace;

constexpr char kOutOfMemoryLine[] =
    "\n *** [DANGER!!!] *** TransactionInfo  MEMORY ALLOCATE ERROR!!! **** [DANGER!!!] ****\n";
constexpr uint64_t kTenNsPerMillisecond = 100000;
constexpr uint16_t kDefaultWindowMs = 200;

class WaveformPass {
 public:
  explicit WaveformPass(DecodeContext& ctx)
      : ctx_(ctx),
        store_(ctx.sampling.Records()),
        walker_(ctx.sampling),
        feed_(ctx),
        period_(ctx.settings.SamplePeriodCode),
        window_(uint64_t(ctx.settings.ForcedDisplayWindow != 0 ? uint16_t(ctx.settings.ForcedDisplayWindow)
                                                               : kDefaultWindowMs) *
                kTenNsPerMillisecond) {}

  uint32_t Run();

 private:
  struct Window {
    uint64_t start_clock = 0;
    uint32_t start_position = 0;
    uint8_t old_signal = 0;
    uint16_t lead_in = 0;
    uint64_t clocks = 0;
    uint32_t bytes = 0;
    uint32_t atoms = 0;
    bool changed = false;
  };

  uint32_t Step();
  // Closes the current window; a window without a single line change gets
  // " (No change signal.)". A window that read no atom at all (empty data)
  // makes no record. False when no record could be allocated.
  bool Close(uint8_t end_bits, uint16_t status, uint32_t sample_len);
  uint32_t EndWindow(uint32_t result, uint16_t status, uint32_t sample_len) {
    return Close(kNotEnded, status, sample_len) ? result : kResultMemoryError;
  }

  DecodeContext& ctx_;
  TransactionStore& store_;
  AtomWalker walker_;
  AnalyzerFeed feed_;
  const uint64_t period_;
  const uint64_t window_;  // 10 ns units
  uint64_t clock_ = 0;
  uint8_t line_ = 0;
  Window w_;
  RecordRef closed_ = kNoRecord;
};

uint32_t WaveformPass::Run() {
  store_.ResetView();
  ctx_.sampling.transaction_counter = 0;
  ctx_.events.PostProgress(12, 100);
  for (;;) {
    const uint32_t result = Step();
    if (closed_ != kNoRecord &&
        (result == kResultStepEnd || result == kResultDataEnd || result == kResultDataEndOpen)) {
      TransactionInfo& record = store_.At(closed_);
      record.PreviewLen = 0;
      record.RecordFlags |= kRecordComplete;
      if (ctx_.live) store_.AppendToViewLive(closed_);
    }
    if (result != kResultStepEnd) return result;
    if (ctx_.live && ctx_.sampling.m_bDoStop_SamplingAnalysis) return result;
  }
}

uint32_t WaveformPass::Step() {
  w_ = Window{};
  w_.start_clock = clock_;
  w_.start_position = feed_.position;
  w_.old_signal = line_;
  closed_ = kNoRecord;
  for (;;) {
    if (feed_.StopCheckDue() && feed_.StopRequested()) return EndWindow(kResultDataEnd, 0, w_.bytes);
    uint32_t result = 0;
    switch (feed_.Pass(&result)) {
      case AnalyzerFeed::Gate::kRead: break;
      case AnalyzerFeed::Gate::kAgain: continue;
      case AnalyzerFeed::Gate::kEnd:
        if (ctx_.live) return EndWindow(kResultDataEnd, 0, w_.bytes);
        return EndWindow(kResultDataEndOpen, 0, feed_.position - w_.start_position);
      case AnalyzerFeed::Gate::kError: return EndWindow(result, 0, w_.bytes);
    }
    const SampleAtom atom = walker_.Read(feed_.position);
    if (atom.size == kAtomAlignError) {
      Trace(" *** SAMPLING DATA ALIGN NG!!! *** [DANGER!!!] ***\n");
      return EndWindow(kResultBadData, kStatusBadData, w_.bytes);
    }
    if (atom.size == kAtomMapError) {
      Trace(" *** :: MapView NG!!! *** [DANGER!!!] ***\n");
      EndWindow(kResultMemoryError, 0, w_.bytes);
      return kResultMemoryError;
    }
    if (w_.atoms == 0) w_.lead_in = atom.count;
    w_.bytes += atom.size;
    const uint8_t state = atom.state & 0x0F;
    if (atom.count == 0) {
      if (atom.size == 2) line_ = state;
      ++w_.atoms;
      feed_.Advance(atom.size);
      continue;
    }
    const uint8_t previous = line_;
    if (state != previous) w_.changed = true;
    line_ = state;
    w_.clocks += atom.count;
    clock_ += atom.count;
    if (w_.clocks * period_ >= window_) {
      // The atom that fills the window opens the next one, where its change
      // is seen again. A window's first atom is always consumed, so a
      // window longer than any atom cannot stall the pass.
      const bool reread = w_.atoms != 0;
      if (reread) {
        clock_ -= atom.count;
        line_ = previous;
      } else {
        feed_.Advance(atom.size);
        ++w_.atoms;
      }
      return Close(kEndedTimeout, 0, w_.bytes) ? kResultStepEnd : kResultMemoryError;
    }
    ++w_.atoms;
    feed_.Advance(atom.size);
  }
}

bool WaveformPass::Close(uint8_t end_bits, uint16_t status, uint32_t sample_len) {
  if (w_.atoms == 0 && end_bits == kNotEnded) return true;
  const RecordRef ref = AllocateRecord(ctx_, kOutOfMemoryLine, store_.Tail(), feed_.Percent());
  if (ref == kNoRecord) return false;
  TransactionInfo& r = store_.At(ref);
  r.RecordFlags = kRecordAnalyzer;
  r.bStartEndType = static_cast<uint8_t>(kBeganSsActive | end_bits);
  r.Status = static_cast<uint16_t>(status | (w_.changed ? 0 : kStatusNoChange));
  r.SamplePos = w_.start_position;
  r.SampleLen = sample_len;
  r.BitCount = 0;
  r.old_Signal = w_.old_signal;
  r.old_SignalClock = w_.lead_in;
  r.StartClock = w_.start_clock;
  const uint64_t duration = w_.clocks > w_.lead_in ? w_.clocks - w_.lead_in : 0;
  r.Duration = duration > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(duration);
  CloseIntoList(ctx_, ref);
  closed_ = ref;
  return true;
}

}  // namespace

uint32_t RunWaveformPass(DecodeContext& ctx) {
  WaveformPass pass(ctx);
  return pass.Run();
}

}  // namespace orvane
