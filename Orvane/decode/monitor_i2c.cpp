#include "Orvane/decode/monitor_i2c.h"

#include <algorithm>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/decode_support.h"
#include "Orvane/decode/monitor_extract.h"
#include "Orvane/decode/monitor_feed.h"
#include "Orvane/decode/monitor_first_bytes.h"
#include "Orvane/decode/monitor_run_loop.h"
#include "Orvane/decode/monitor_unit_shapes.h"
#include "Orvane/decode/monitor_units.h"
#include "Orvane/decode/trigger_action.h"
#include "Orvane/decode/trigger_eval.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;

namespace {

constexpr uint32_t kBatchBytes = 16;
constexpr char kAllocFailure[] =
    "\n *** [DANGER!!!] *** I2C:TransactionInfo  MEMORY ALLOCATE ERROR!!! **** [DANGER!!!] ****\n";
constexpr uint8_t kHsNone = 0;
constexpr uint8_t kHsMasterCode = 2;  // the master code was not acknowledged
constexpr uint8_t kHsTransfer = 3;
// I2CFlags of the HS states above.
constexpr uint16_t kHsFlags[4] = {0, 0, kI2CHsMasterCode, kI2CHsTransfer};
// Which events of a unit give a record its byte (see monitor_extract.h).
constexpr uint8_t kBothEvents = 0x44;
constexpr uint8_t kSecondEvent = 0x04;
constexpr uint8_t kFirstEvent = 0x40;
// The high byte of a unit that is one data byte and nothing else: both
// nibbles the data event, with or without the ACK bit.
constexpr uint8_t kAckedDataNibbles = (kEventData | kEventAck) * 0x11;
constexpr uint8_t kNackedDataNibbles = kEventData * 0x11;

class MonitorI2CDecoder : public MonitorRunLoop<MonitorI2CDecoder> {
 public:
  explicit MonitorI2CDecoder(DecodeContext& ctx)
      : ctx_(ctx),
        store_(ctx.sampling.Records()),
        feed_(ctx, kI2CUnitBytes, kBatchBytes, " I2C_MON :: Kaiseki Percent : %u (%%) !! \n"),
        walker_(ctx.sampling),
        hs_enable_(ctx.settings.HsEnable != 0),
        ignore_nack_before_stop_(ctx.settings.IgnoreNackBeforeStop != 0),
        complete_at_close_(!ctx.live && !(ctx.settings.TriggerEnable != 0 && AnyI2CTriggerCondition(ctx.settings))) {}

 private:
  friend class MonitorRunLoop<MonitorI2CDecoder>;

  // The batch, with the data bytes of an open transaction past its address
  // taken in runs: 0 to go on, else the step's result. The second byte of a
  // 10-bit address is no plain data byte. Records complete at their close
  // owe a STOP no post-processing: the step goes on through it, which is
  // what FinishStep would do before the next step, and the units of common
  // shapes are taken in place.
  uint32_t HandleBatch(uint32_t units) {
    while (units > 0) {
      if (complete_at_close_ && !resume_) {
        uint32_t failure = 0;
        units -= TakeCommonUnits(units, &failure);
        if (failure != 0) return failure;
        if (units == 0) break;
      } else if (open_ && !resume_ && bytes_ >= (ten_bit_ ? 2u : 1u)) {
        units -= TakeDataRun(units);
        if (units == 0) break;
      }
      const uint32_t result = HandleUnit(feed_.Position());
      --units;
      if (result == kResultStepEnd && complete_at_close_) {
        step_records_.Forget();
      } else if (result != 0) {
        return result;
      }
    }
    return 0;
  }

  // Takes, from the analysis position on, data runs and units of the
  // common shapes (monitor_unit_shapes.h) as HandleUnit would, until a unit
  // of another shape, one out of reach in place, one kept for a second pass
  // (counted, not advanced over) or a failure (*failure set). Returns how
  // many units of the batch were taken. Only where records are complete at
  // their close: a STOP ends no step.
  uint32_t TakeCommonUnits(uint32_t units, uint32_t* failure) {
    // Offline the span does not wrap: unit k lies at start + 2k, and the
    // feed moves once, past the units taken (not past one kept).
    const uint32_t start = feed_.Position();
    uint32_t reachable = 0;
    const uint8_t* const p = walker_.Span(start, kI2CUnitBytes, units, &reachable);
    uint32_t taken = 0;
    while (taken < reachable) {
      if (open_ && bytes_ >= (ten_bit_ ? 2u : 1u)) {
        taken += TakeDataRunAt(p + 2 * taken, reachable - taken);
        if (taken == reachable) break;
      }
      const uint8_t* const u = p + 2 * taken;
      const I2CMonitorUnit unit = LookUpI2CUnit(static_cast<uint16_t>(u[0] | u[1] << 8));
      const uint32_t position = start + taken * kI2CUnitBytes;
      bool other = false;
      switch (ShapeOfI2CUnit(unit.nibbles)) {
        case I2CUnitShape::kData: TakeUnit<I2CUnitShape::kData>(unit, position); break;
        case I2CUnitShape::kStart: TakeUnit<I2CUnitShape::kStart>(unit, position); break;
        case I2CUnitShape::kStop: TakeUnit<I2CUnitShape::kStop>(unit, position); break;
        case I2CUnitShape::kStartData: TakeUnit<I2CUnitShape::kStartData>(unit, position); break;
        case I2CUnitShape::kDataStart: TakeUnit<I2CUnitShape::kDataStart>(unit, position); break;
        case I2CUnitShape::kDataStop: TakeUnit<I2CUnitShape::kDataStop>(unit, position); break;
        case I2CUnitShape::kOther: other = true; break;
      }
      if (other) break;
      ++taken;
      if (failure_ != 0 || resume_) break;
    }
    *failure = failure_;
    walker_.Took(taken);
    feed_.Advance(resume_ ? taken - 1 : taken);
    return taken;
  }

  // HandleUnit for a unit of a common shape at `position`, its events
  // known from the shape, while no unit is kept for a second pass; the
  // caller moves the feed.
  template <I2CUnitShape kShape>
  void TakeUnit(const I2CMonitorUnit& unit, uint32_t position) {
    constexpr bool kPair = kShape == I2CUnitShape::kStartData || kShape == I2CUnitShape::kDataStart ||
                           kShape == I2CUnitShape::kDataStop;
    unit_ = unit;
    unit_pending_ = open_;
    if (open_) total_ += kI2CUnitBytes;
    if constexpr (kShape == I2CUnitShape::kStartData) {
      OnStart(true, false, position);
      if (failure_ != 0) return;
      OnData(unit.data, (unit.codes & kEventAck) != 0);
    } else if constexpr (kShape == I2CUnitShape::kDataStart || kShape == I2CUnitShape::kDataStop) {
      OnData(unit.data, (unit.codes & (kEventAck << 4)) != 0);
      if constexpr (kShape == I2CUnitShape::kDataStart) {
        OnStart(false, true, position);
      } else {
        OnStop(false);
      }
    } else if constexpr (kShape == I2CUnitShape::kData) {
      OnData(unit.data, (unit.codes & kEventAck) != 0);
    } else if constexpr (kShape == I2CUnitShape::kStart) {
      OnStart(false, false, position);
    } else {
      OnStop(false);
    }
    if (failure_ != 0) return;
    if (unit_pending_) first_bytes_.Offer(unit, kBothEvents);
    if constexpr (kPair) resume_ = !open_ && (building_ & kMonitorSharedUnit) != 0;
    if constexpr (kShape == I2CUnitShape::kStop || kShape == I2CUnitShape::kDataStop) step_records_.Forget();
  }

  // Handles, as HandleUnit would, the units from the analysis position on
  // (at most `units`) that carry nothing but one data byte; returns how
  // many. Past the address such a byte only counts, tracks the ACK and may
  // go into the preview.
  uint32_t TakeDataRun(uint32_t units) {
    uint32_t reachable = 0;
    const uint8_t* p = walker_.Span(feed_.Position(), kI2CUnitBytes, units, &reachable);
    const uint32_t taken = TakeDataRunAt(p, reachable);
    walker_.Took(taken);
    feed_.Advance(taken);
    return taken;
  }

  // TakeDataRun over `count` units in place at `p` (the analysis position);
  // the caller tells the walker and moves the feed.
  uint32_t TakeDataRunAt(const uint8_t* p, uint32_t count) {
    // Locals: the units are bytes, which the compiler must assume to alias
    // the decoder's own members.
    bool nack = nack_;
    bool last_nack = last_nack_;
    uint32_t taken = 0;
    for (; taken < count; ++taken) {
      const uint8_t nibbles = p[2 * taken + 1];
      if (nibbles != kAckedDataNibbles && nibbles != kNackedDataNibbles) break;
      nack = nack || last_nack;
      last_nack = nibbles == kNackedDataNibbles;
    }
    if (taken == 0) return 0;
    nack_ = nack;
    last_nack_ = last_nack;
    first_bytes_.OfferUnitBytes(p, taken);
    const uint8_t* last = p + 2 * (taken - 1);
    bytes_ += taken;
    total_ += taken * kI2CUnitBytes;
    // LookUpI2CUnit of a data unit: its one event is the low nibble.
    unit_ = {1, static_cast<uint8_t>(last[1] & 0x0F), last[0], last[1]};
    unit_pending_ = true;
    return taken;
  }

  // 0 to go on, else the step's result.
  uint32_t HandleUnit(uint32_t position) {
    const I2CMonitorUnit unit = walker_.ReadI2C(position);
    unit_ = unit;
    unit_pending_ = false;
    if (unit.count == kUnitMapError) {
      Trace(" *** I2C :: MapView NG!!! *** [DANGER!!!] ***\n");
      if (open_) Close(kNotEnded);
      return kResultMemoryError;
    }
    const bool resuming = resume_;
    if (open_ && !resuming) {
      total_ += kI2CUnitBytes;
      unit_pending_ = true;
    }
    if (unit.count == kUnitInvalid) return InvalidUnit(unit, position);
    uint8_t last_code = 0;
    if (unit.count != kUnitEmpty) {
      const bool pair = unit.count == 2;
      if (pair && !resuming) HandleEvent(unit.codes >> 4, unit.data, true, false, position);
      if (failure_ != 0) return failure_;
      last_code = unit.codes & 0x0F;
      HandleEvent(last_code, unit.data, false, pair, position);
      if (failure_ != 0) return failure_;
    }
    if (unit_pending_) first_bytes_.Offer(unit, kBothEvents);
    // A closing event that shared its unit with nothing that opened keeps
    // the unit: the next pass handles only its second event.
    resume_ = !resuming && unit.count == 2 && !open_ && (building_ & kMonitorSharedUnit) != 0;
    if (!resume_) feed_.Advance();
    return last_code == kEventStop ? kResultStepEnd : 0;
  }

  void HandleEvent(uint8_t code, uint8_t data, bool first_of_two, bool second_of_two, uint32_t position) {
    if (code == kEventStart) {
      OnStart(first_of_two, second_of_two, position);
    } else if (code == kEventStop) {
      OnStop(first_of_two);
    } else if ((code & kEventData) != 0) {
      OnData(data, (code & kEventAck) != 0);
    }
  }

  // `position`: the unit's, where a transaction it opens begins.
  void OnStart(bool first_of_two, bool second_of_two, uint32_t position) {
    uint8_t kind = kBeganStart;
    if (open_) {
      if (second_of_two) building_ |= kMonitorSharedUnit;
      nack_ = nack_ || last_nack_;
      if (!Close(kEndedRepeatedStart)) return;
      if (hs_enable_ && hs_ == kHsMasterCode) hs_ = kHsTransfer;
      kind = kBeganRepeatedStart;
    } else {
      hs_ = kHsNone;
    }
    open_ = true;
    building_ = static_cast<uint8_t>(kind | (first_of_two ? kMonitorOpenFirstEvent : kMonitorOpenSecondEvent));
    start_position_ = position;
    first_bytes_.Reset();
    first_bytes_.Offer(unit_, first_of_two ? kBothEvents : kSecondEvent);
    total_ = 0;
    bytes_ = 0;
    nack_ = false;
    last_nack_ = false;
    read_ = false;
    ten_bit_ = false;
    upper_ = 0;
    low_ = 0;
  }

  void OnStop(bool first_of_two) {
    if (open_) {
      if (first_of_two) building_ |= kMonitorSharedUnit;
      if (!ignore_nack_before_stop_) nack_ = nack_ || last_nack_;
      if (!Close(kEndedStop)) return;
      hs_ = kHsNone;
    }
    // The 10-bit address of a write is remembered only within one step.
    remembered_upper_ = 0;
    remembered_low_ = 0;
  }

  void OnData(uint8_t byte, bool acked) {
    if (!open_) return;
    nack_ = nack_ || last_nack_;
    last_nack_ = !acked;
    ++bytes_;
    const bool began_with_start = (building_ & kBeganStart) != 0;
    if (bytes_ == 1) {
      read_ = (byte & 1) != 0;
      if ((byte & 0xF8) == 0xF0) {
        ten_bit_ = true;
        upper_ = (byte >> 1) & 3;
        if (began_with_start || !read_) {
          remembered_upper_ = upper_;
        } else if (upper_ == remembered_upper_) {
          low_ = remembered_low_;
        }
      } else {
        low_ = byte >> 1;
        if (hs_enable_ && hs_ != kHsTransfer && (byte & 0xF8) == 0x08) {
          // A master code nobody acknowledges is how HS mode begins, not a
          // NACK to report.
          hs_ = acked ? kHsNone : kHsMasterCode;
          last_nack_ = false;
        }
      }
    } else if (bytes_ == 2 && ten_bit_ && (began_with_start || !read_)) {
      low_ = byte;
      remembered_low_ = byte;
    }
  }

  uint32_t InvalidUnit(const I2CMonitorUnit& unit, uint32_t position) {
    const CSamplingObj& s = ctx_.sampling;
    Trace("\n *** DANGER!!! *** I2C_MONITOR SamplingData NG!!!  pKaisekiData:[0x02X:0x%02X]  (AnalyzePtr=0x%X) ***\n",
          unit.nibbles, position);
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
    if (unit_pending_) {
      first_bytes_.Offer(unit_, (building_ & kMonitorSharedUnit) != 0 ? kFirstEvent : kBothEvents);
      unit_pending_ = false;
    }
    RecordRef ref = kNoRecord;
    TransactionInfo* const record = store_.AllocateRecord(&ref);
    open_ = false;
    if (record == nullptr) {
      ReportOutOfMemory(ctx_, kAllocFailure, store_.Tail(), feed_.OfflinePercent());
      failure_ = kResultMemoryError;
      return false;
    }
    // The record is zero-filled: only what differs from zero is stored.
    TransactionInfo& r = *record;
    r.RecordFlags = record_flags_;
    r.bStartEndType = static_cast<uint8_t>(building_ | end_bits);
    r.Status = status_;
    r.SamplePos = start_position_;
    r.SampleLen = total_;
    r.BitCount = bytes_;
    r.i2c.I2CAddress = static_cast<uint16_t>(upper_ << 8 | low_);
    r.i2c.I2CFlags = static_cast<uint16_t>(uint32_t{ten_bit_} * kI2C10Bit | uint32_t{read_} * kI2CRead |
                                           uint32_t{nack_} * kI2CNack | kHsFlags[hs_ & 3]);
    first_bytes_.FillPreview(r, MonitorI2CAddressBytes(bytes_, ten_bit_, read_));
    CloseIntoList(ctx_, ref, r);
    step_records_.Added(start_position_);
    status_ = 0;
    return true;
  }

  // Post-processes the step's records; true when a trigger ends the run.
  bool FinishStep() {
    if (complete_at_close_) {
      step_records_.Forget();
      return false;
    }
    bool end_run = false;
    step_records_.Drain(store_, [&](RecordRef ref) { end_run = PostProcess(ref) || end_run; });
    return end_run;
  }

  // A record that is not post-processed has no preview: the one gathered
  // at its close is taken back, and it is not complete.
  void AbandonStep() {
    step_records_.Drain(store_, [&](RecordRef ref) {
      TransactionInfo& r = store_.At(ref);
      r.RecordFlags &= static_cast<uint8_t>(~kRecordComplete);
      std::fill(std::begin(r.Preview), std::end(r.Preview), uint8_t{0});
      r.PreviewLen = 0;
    });
  }

  bool PostProcess(RecordRef ref) {
    TransactionInfo& r = store_.At(ref);
    const SettingsRecord& settings = ctx_.settings;
    const bool evaluate = settings.TriggerEnable != 0 && AnyI2CTriggerCondition(settings) && !ctx_.sampling.trigger_seen;
    const bool end_run = evaluate && EvaluateTrigger(r);
    r.RecordFlags |= kRecordComplete;
    if (ctx_.live) store_.AppendToViewLive(ref);
    return end_run;
  }

  // The trigger may need more bytes than the preview: those come from the
  // units again. True when the trigger ends the run.
  bool EvaluateTrigger(TransactionInfo& r) {
    const uint32_t address_bytes = MonitorI2CAddressBytes(r);
    I2CTriggerEvaluator trigger(ctx_.settings, r, address_bytes);
    const uint32_t wanted = std::max<uint32_t>(address_bytes + kPreviewBytes, trigger.BytesNeeded());
    WalkMonitorI2CBytes(walker_, ctx_.sampling.m_sizeSamplingBuf, r, wanted,
                        [&](uint8_t byte, bool) { trigger.Feed(byte); });
    return trigger.Triggered() && ApplyTriggerAction(ctx_, r, kI2CUnitBytes);
  }

  DecodeContext& ctx_;
  TransactionStore& store_;
  MonitorFeed feed_;
  MonitorUnitWalker walker_;
  StepRecords step_records_;
  const bool hs_enable_;
  const bool ignore_nack_before_stop_;
  // Offline without a trigger to evaluate, the post-processing of a record
  // is only its completion: it is complete when it is made.
  const bool complete_at_close_;
  const uint8_t record_flags_ = complete_at_close_ ? static_cast<uint8_t>(kRecordI2C | kRecordComplete) : kRecordI2C;
  uint32_t failure_ = 0;
  bool resume_ = false;
  // The unit being handled, and whether it still owes the open record its
  // byte (it was read while the record was open).
  I2CMonitorUnit unit_;
  bool unit_pending_ = false;
  MonitorI2CFirstBytes first_bytes_;

  // The transaction being built.
  bool open_ = false;
  uint8_t building_ = 0;  // bStartEndType so far
  uint32_t start_position_ = 0;
  uint32_t total_ = 0;
  uint32_t bytes_ = 0;
  uint16_t status_ = 0;
  bool nack_ = false;
  bool last_nack_ = false;
  bool read_ = false;
  bool ten_bit_ = false;
  uint8_t upper_ = 0;
  uint8_t low_ = 0;
  uint8_t hs_ = kHsNone;
  uint8_t remembered_upper_ = 0;
  uint8_t remembered_low_ = 0;
};

}  // namespace

uint32_t RunMonitorI2CDecode(DecodeContext& ctx) {
  BeginDecodeRun(ctx);
  MonitorI2CDecoder decoder(ctx);
  return decoder.Run();
}

}  // namespace orvane
