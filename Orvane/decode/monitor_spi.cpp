#include "Orvane/decode/monitor_spi.h"

#include <algorithm>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/decode_support.h"
#include "Orvane/decode/monitor_extract.h"
#include "Orvane/decode/monitor_feed.h"
#include "Orvane/decode/monitor_run_loop.h"
#include "Orvane/decode/monitor_units.h"
#include "Orvane/decode/trigger_action.h"
#include "Orvane/decode/trigger_eval.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;

namespace {

constexpr uint32_t kBatchBytes = 32;
constexpr char kAllocFailure[] =
    "\n *** [DANGER!!!] *** SPI_MON:TransactionInfo  MEMORY ALLOCATE ERROR!!! **** [DANGER!!!] ****\n";
// The device sends one empty unit per second without bus activity.
constexpr uint64_t kMsPerEmptyUnit = 1000;

class MonitorSpiDecoder : public MonitorRunLoop<MonitorSpiDecoder> {
 public:
  explicit MonitorSpiDecoder(DecodeContext& ctx)
      : ctx_(ctx),
        store_(ctx.sampling.Records()),
        feed_(ctx, kSpiUnitBytes, kBatchBytes, " SPI_MON :: Kaiseki Percent : %u (%%) !! \n"),
        walker_(ctx.sampling),
        ss_used_(ctx.settings.SpiSsMode != 0),
        timeout_ms_(ctx.settings.SpiSclkTimeout),
        data_length_(ctx.settings.SpiDataLength),
        // Before the first report SS is taken to be at its inactive level,
        // so that the first selection opens a transaction.
        last_ss_level_(ctx.settings.SpiSsMode == 2 ? 0 : 1) {}

 private:
  friend class MonitorRunLoop<MonitorSpiDecoder>;

  // 0 to go on, else the step's result.
  uint32_t HandleUnit(uint32_t position) {
    const SpiMonitorUnit unit = walker_.ReadSpi(position);
    if (!unit.mapped) {
      if (open_) Close(kNotEnded);
      return kResultMemoryError;
    }
    if (open_) total_ += kSpiUnitBytes;
    if (unit.control >= kSpiControlLimit) return InvalidUnit(unit, position);
    const uint32_t records_before = records_in_step_;
    if (unit.control == 0) {
      if (open_ && timeout_ms_ != 0 && ++empty_units_ * kMsPerEmptyUnit >= timeout_ms_) Close(kEndedTimeout);
    } else {
      if ((unit.control & kSpiSsReport) != 0 && ss_used_) {
        const uint8_t level = (unit.control & kSpiSsLevel) != 0 ? 1 : 0;
        if (level != last_ss_level_) {
          last_ss_level_ = level;
          if (open_) {
            Close(kEndedSsInactive);
          } else {
            Begin(kBeganSsActive, position);
          }
        }
      }
      if ((unit.control & kSpiDataValid) != 0 && failure_ == 0) {
        if (!open_) Begin(kBeganClock, position);
        ++bytes_;
        empty_units_ = 0;
        if (data_length_ != 0 && bytes_ == data_length_) Close(kEndedDataLength);
      }
    }
    if (failure_ != 0) return failure_;
    feed_.Advance();
    return records_in_step_ != records_before ? kResultStepEnd : 0;
  }

  void Begin(uint8_t kind, uint32_t position) {
    open_ = true;
    kind_ = kind;
    start_position_ = position;
    total_ = 0;
    bytes_ = 0;
    empty_units_ = 0;
  }

  uint32_t InvalidUnit(const SpiMonitorUnit& unit, uint32_t position) {
    const CSamplingObj& s = ctx_.sampling;
    Trace("\n *** DANGER!!! ***  SPI_MONITOR SamplingData NG!!!  CtrlData:0x%04X  (AnalyzePtr=0x%X)  ***\n",
          unit.control, position);
    Trace("  m_SamplingCurrentPtr = 0x%X,   m_lenSamplingDataInBuffer = 0x%X\n", s.m_SamplingCurrentPtr.load(),
          s.m_lenSamplingDataInBuffer.load());
    if (open_) {
      status_ |= kStatusBadData;
      if (!Close(kNotEnded)) return kResultMemoryError;
    }
    return kResultBadData;
  }

  // Closes the open transaction into a new record; false (failure_ set)
  // when no record can be had.
  bool Close(uint8_t end_bits) {
    const RecordRef ref = AllocateRecord(ctx_, kAllocFailure, store_.Tail(), feed_.OfflinePercent());
    open_ = false;
    if (ref == kNoRecord) {
      failure_ = kResultMemoryError;
      return false;
    }
    TransactionInfo& r = store_.At(ref);
    r.RecordFlags = 0;
    r.bStartEndType = static_cast<uint8_t>(kind_ | end_bits);
    r.Status = status_;
    r.SamplePos = start_position_;
    r.SampleLen = total_;
    r.BitCount = bytes_;
    CloseIntoList(ctx_, ref);
    step_records_.Added(start_position_);
    ++records_in_step_;
    status_ = 0;
    return true;
  }

  // Post-processes the step's records; true when a trigger ends the run.
  // The records carry nothing from the decode walk that post-processing
  // would have to take back.
  void AbandonStep() {}

  bool FinishStep() {
    bool end_run = false;
    step_records_.Drain(store_, [&](RecordRef ref) { end_run = PostProcess(ref) || end_run; });
    records_in_step_ = 0;
    return end_run;
  }

  bool PostProcess(RecordRef ref) {
    TransactionInfo& r = store_.At(ref);
    const SettingsRecord& settings = ctx_.settings;
    const bool evaluate =
        settings.TriggerEnable != 0 && settings.DataPatternEnable != 0 && !ctx_.sampling.trigger_seen;
    SpiTriggerEvaluator trigger(settings);
    const uint32_t wanted = evaluate ? std::max<uint32_t>(r.BitCount, kPreviewBytes) : kPreviewBytes;
    uint32_t index = 0;
    const uint32_t found = WalkMonitorSpiBytes(walker_, ctx_.sampling.m_sizeSamplingBuf, r, wanted,
                                               [&](uint8_t first_line, uint8_t second_line) {
                                                 if (index < kPreviewBytes) {
                                                   r.Preview[index] = first_line;
                                                   r.Preview2[index] = second_line;
                                                 }
                                                 if (evaluate) trigger.Feed(first_line, second_line);
                                                 ++index;
                                               });
    r.PreviewLen = static_cast<uint8_t>(std::min<uint32_t>(found, kPreviewBytes));
    const bool end_run = evaluate && trigger.Triggered() && ApplyTriggerAction(ctx_, r, kSpiUnitBytes);
    r.RecordFlags |= kRecordComplete;
    if (ctx_.live) store_.AppendToViewLive(ref);
    return end_run;
  }

  DecodeContext& ctx_;
  TransactionStore& store_;
  MonitorFeed feed_;
  MonitorUnitWalker walker_;
  StepRecords step_records_;
  const bool ss_used_;
  const uint64_t timeout_ms_;
  const uint32_t data_length_;
  uint8_t last_ss_level_;
  uint32_t failure_ = 0;
  uint32_t records_in_step_ = 0;

  // The transaction being built.
  bool open_ = false;
  uint8_t kind_ = 0;
  uint32_t start_position_ = 0;
  uint32_t total_ = 0;
  uint32_t bytes_ = 0;
  uint64_t empty_units_ = 0;
  uint16_t status_ = 0;
};

}  // namespace

uint32_t RunMonitorSpiDecode(DecodeContext& ctx) {
  BeginDecodeRun(ctx);
  MonitorSpiDecoder decoder(ctx);
  return decoder.Run();
}

}  // namespace orvane
