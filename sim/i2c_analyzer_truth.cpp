#include "sim/analyzer_truth.h"

namespace velix::sim {
namespace {

constexpr uint64_t kOverLongClocks = 0x7FFF0001;

// Follows the I2C analyzer decoder over the intended bus events: one record
// per START/repeated START, closed by the next repeated START or STOP.
class I2cTruthBuilder {
 public:
  explicit I2cTruthBuilder(const AnalyzerTruthInput& input)
      : in_(input),
        period_(input.settings->SamplePeriodCode),
        hs_enable_(input.settings->HsEnable != 0),
        ignore_nack_(input.settings->IgnoreNackBeforeStop != 0) {}

  std::vector<TruthTransaction> Run() {
    for (const BusEvent& event : in_.waveform->events) {
      const uint64_t sample = Sample(event.time);
      if (open_ && sample - start_sample_ >= kOverLongClocks) CloseOverLong(event.time);
      if (event.kind == BusEventKind::kCorrupt) {
        if (open_) CloseNotEnded(event.time, sample - start_sample_, 0x0080);
        return std::move(out_);
      }
      if (event.kind == BusEventKind::kStart) OnStart(event.time, sample);
      else if (event.kind == BusEventKind::kStop) OnStop(event.time, sample);
      else if (event.kind == BusEventKind::kSclRise) OnRise(event.time, sample, event.value);
    }
    if (open_) {
      const uint64_t clocks = in_.total_samples - start_sample_;
      if (clocks >= kOverLongClocks) CloseOverLong(in_.waveform->end_time);
      else CloseNotEnded(in_.waveform->end_time, clocks, 0);
    }
    return std::move(out_);
  }

 private:
  uint64_t Sample(uint64_t time) const { return (time + period_ - 1) / period_; }

  void Begin(uint8_t kind, uint64_t time, uint64_t sample) {
    open_ = true;
    kind_ = kind;
    start_time_ = time;
    start_sample_ = sample;
    last_rise_sample_ = sample;
    n_ = 0;
    bits_.clear();
    first_ = second_ = low_ = upper_ = rw_ = last_ack_ = 0;
    ten_bit_ = nack_ = false;
  }

  void OnStart(uint64_t time, uint64_t sample) {
    if (!open_) {
      hs_ = 0;
      Begin(0x01, time, sample);
      return;
    }
    const uint32_t bits = n_ > 0 ? n_ - 1 : 0;
    const uint16_t status = (n_ == 0 || bits % 9 != 0) ? 0x0001 : 0;
    nack_ = nack_ || last_ack_;
    Close(static_cast<uint8_t>(kind_ | 0x20), status, bits, static_cast<int64_t>(last_rise_sample_ - start_sample_),
          time);
    if (hs_enable_ && hs_ == 2) hs_ = 3;
    Begin(0x02, time, sample);
  }

  void OnStop(uint64_t time, uint64_t sample) {
    if (!open_) return;
    const uint32_t bits = n_ > 0 ? n_ - 1 : 0;
    const uint16_t status = (n_ == 0 || bits % 9 != 0) ? 0x0001 : 0;
    if (!ignore_nack_) nack_ = nack_ || last_ack_;
    Close(static_cast<uint8_t>(kind_ | 0x10), status, bits, static_cast<int64_t>(sample - start_sample_), time);
    EndStep();
  }

  void OnRise(uint64_t, uint64_t sample, uint8_t b) {
    if (!open_) return;
    last_rise_sample_ = sample;
    bits_.push_back(b);
    if (n_ < 8) {
      first_ = static_cast<uint8_t>((first_ << 1) | b);
      if (n_ == 7) FirstByteComplete(b);
    }
    if (hs_enable_ && hs_ == 1 && n_ == 8) hs_ = b ? 2 : 0;
    if (ten_bit_ && n_ >= 9 && n_ <= 16 && (kind_ == 0x01 || rw_ == 0)) {
      second_ = static_cast<uint8_t>((second_ << 1) | b);
      if (n_ == 16) {
        low_ = second_;
        remembered_low_ = second_;
      }
    } else if (n_ == 7) {
      rw_ = b;
    }
    if (n_ % 9 == 8) {
      if (hs_enable_ && n_ == 8 && hs_ == 2) {
        last_ack_ = 0;
      } else {
        nack_ = nack_ || last_ack_;
        last_ack_ = b;
      }
    }
    ++n_;
  }

  void FirstByteComplete(uint8_t b) {
    if ((first_ & 0xF8) == 0xF0) {
      ten_bit_ = true;
      upper_ = (first_ >> 1) & 3;
      second_ = 0;
      if (kind_ == 0x01) {
        remembered_upper_ = upper_;
      } else {
        rw_ = b;
        if (b == 0) remembered_upper_ = upper_;
        else if (upper_ == remembered_upper_) low_ = remembered_low_;
      }
    } else {
      ten_bit_ = false;
      upper_ = 0;
      low_ = static_cast<uint8_t>(first_ >> 1);
      if (hs_enable_ && hs_ != 3 && (first_ & 0xF8) == 0x08) hs_ = 1;
    }
  }

  void CloseNotEnded(uint64_t time, uint64_t clocks, uint16_t extra_status) {
    const uint16_t status = static_cast<uint16_t>(extra_status | (n_ % 9 != 0 ? 0x0001 : 0));
    Close(static_cast<uint8_t>(kind_ | 0x80), status, n_, static_cast<int64_t>(clocks), time);
    EndStep();
  }

  // The decoder notices the limit only at an atom boundary, so the closing
  // point (and the duration) depends on how the hold was split.
  void CloseOverLong(uint64_t time) {
    const uint16_t status = static_cast<uint16_t>(0x0002 | (n_ % 9 != 0 ? 0x0001 : 0));
    Close(static_cast<uint8_t>(kind_ | 0x80), status, n_, -1, time);
    EndStep();
  }

  void EndStep() {
    hs_ = 0;
    remembered_upper_ = remembered_low_ = 0;
  }

  void Close(uint8_t start_end, uint16_t status, uint32_t bits, int64_t duration, uint64_t end_time) {
    TruthTransaction t;
    t.index = static_cast<uint32_t>(out_.size());
    t.start_end = start_end;
    t.status = status;
    t.start_clock = start_sample_;
    t.duration = duration;
    t.bit_count = bits;
    t.address = static_cast<uint16_t>((upper_ << 8) | low_);
    t.flags = static_cast<uint16_t>((ten_bit_ ? 0x01 : 0) | (rw_ ? 0x02 : 0) | (nack_ ? 0x04 : 0) |
                                    (hs_ == 3 ? 0x10 : 0) | (hs_ == 2 ? 0x20 : 0));
    SplitI2cBits(bits_, bits, &t.bytes, &t.bytes2);
    t.exact = !AnyOverlap(in_.disturbances, start_time_, end_time);
    out_.push_back(std::move(t));
    open_ = false;
  }

  const AnalyzerTruthInput& in_;
  const uint64_t period_;
  const bool hs_enable_;
  const bool ignore_nack_;
  std::vector<TruthTransaction> out_;
  bool open_ = false;
  uint8_t kind_ = 0;
  uint64_t start_time_ = 0;
  uint64_t start_sample_ = 0;
  uint64_t last_rise_sample_ = 0;
  uint32_t n_ = 0;
  std::vector<uint8_t> bits_;
  uint8_t first_ = 0, second_ = 0, low_ = 0, upper_ = 0, rw_ = 0, last_ack_ = 0;
  bool ten_bit_ = false, nack_ = false;
  uint8_t remembered_upper_ = 0, remembered_low_ = 0;
  int hs_ = 0;
};

}  // namespace

void SplitI2cBits(const std::vector<uint8_t>& bits, uint32_t bit_count, std::vector<uint8_t>* bytes,
                  std::vector<uint8_t>* acks) {
  const size_t count = (bit_count + 8) / 9;
  bytes->assign(count, 0);
  acks->assign(count, 0);
  for (uint32_t i = 0; i < bit_count && i < bits.size(); ++i) {
    if (i % 9 == 8) (*acks)[i / 9] = bits[i];
    else (*bytes)[i / 9] = static_cast<uint8_t>(((*bytes)[i / 9] << 1) | bits[i]);
  }
}

std::vector<TruthTransaction> I2cAnalyzerTruth(const AnalyzerTruthInput& input) {
  return I2cTruthBuilder(input).Run();
}

}  // namespace velix::sim
