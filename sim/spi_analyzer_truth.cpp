#include "sim/analyzer_truth.h"

namespace velix::sim {
namespace {

// Follows the SPI analyzer decoder over the intended bus events: a record
// opens when SS becomes active or SCLK moves while selected, and closes at SS
// inactive, at the data length, at the SCLK time-out or at the data end.
class SpiTruthBuilder {
 public:
  explicit SpiTruthBuilder(const AnalyzerTruthInput& input)
      : in_(input),
        s_(*input.settings),
        period_(s_.SamplePeriodCode),
        timeout_(static_cast<uint64_t>(s_.SpiSclkTimeout.Get()) * 100'000),
        ss_level_(input.waveform->initial_state & 1) {}

  std::vector<TruthTransaction> Run() {
    for (const BusEvent& event : in_.waveform->events) {
      const uint64_t sample = (event.time + period_ - 1) / period_;
      if (open_ && TimedOut(sample)) Close(0x40, -1, event.time);
      if (event.kind == BusEventKind::kCorrupt) {
        if (open_) Close(0x80, static_cast<int64_t>(sample - start_sample_), event.time, 0x0080);
        return std::move(out_);
      }
      if (event.kind == BusEventKind::kSsChange) OnSs(event, sample);
      else if (event.kind == BusEventKind::kSclkChange) OnSclk(event, sample);
    }
    if (open_) {
      if (TimedOut(in_.total_samples)) Close(0x40, -1, in_.waveform->end_time);
      else Close(0x80, static_cast<int64_t>(in_.total_samples - start_sample_), in_.waveform->end_time);
    }
    return std::move(out_);
  }

 private:
  bool SsActive(uint8_t level) const { return s_.SpiSsMode == 1 ? level == 0 : level == 1; }
  bool TimedOut(uint64_t sample) const {
    return timeout_ != 0 && (sample - quiet_since_) * period_ >= timeout_;
  }

  void Begin(uint8_t kind, const BusEvent& event, uint64_t sample) {
    open_ = true;
    kind_ = kind;
    start_time_ = event.time;
    start_sample_ = sample;
    quiet_since_ = sample;
    bits_ = 0;
    miso_.clear();
    mosi_.clear();
    first_edge_ignored_ = false;
  }

  void OnSs(const BusEvent& event, uint64_t sample) {
    const bool was_active = SsActive(ss_level_);
    ss_level_ = event.value;
    if (s_.SpiSsMode == 0 || SsActive(ss_level_) == was_active) return;
    if (!was_active) {
      if (!open_) Begin(0x01, event, sample);
    } else if (open_) {
      Close(0x10, static_cast<int64_t>(sample - start_sample_), event.time);
    }
  }

  void OnSclk(const BusEvent& event, uint64_t sample) {
    if (open_) quiet_since_ = sample;
    if (!open_ && (s_.SpiSsMode == 0 || SsActive(ss_level_))) Begin(0x02, event, sample);
    if ((s_.SpiBitFlags & 0x80) != 0 && !first_edge_ignored_) {
      first_edge_ignored_ = true;
      return;
    }
    const bool sampling = s_.SpiSamplingEdge == 1 ? event.value == 1 : event.value == 0;
    if (!sampling || !open_) return;
    const bool msb_first = (s_.SpiBitFlags & 0x01) != 0;
    if (bits_ % 8 == 0) {
      miso_.push_back(0);
      mosi_.push_back(0);
    }
    uint8_t& miso = miso_.back();
    uint8_t& mosi = mosi_.back();
    if (msb_first) {
      miso = static_cast<uint8_t>((miso << 1) | event.s3);
      mosi = static_cast<uint8_t>((mosi << 1) | event.s2);
    } else {
      miso = static_cast<uint8_t>((miso >> 1) | (event.s3 << 7));
      mosi = static_cast<uint8_t>((mosi >> 1) | (event.s2 << 7));
    }
    ++bits_;
    if (bits_ % 8 == 0 && bits_ == 8ULL * s_.SpiDataLength.Get()) {
      Close(0x20, static_cast<int64_t>(sample - start_sample_), event.time);
    }
  }

  void Close(uint8_t end_bits, int64_t duration, uint64_t end_time, uint16_t extra_status = 0) {
    TruthTransaction t;
    t.index = static_cast<uint32_t>(out_.size());
    t.start_end = static_cast<uint8_t>(kind_ | end_bits);
    t.status = static_cast<uint16_t>(extra_status | (bits_ % 8 != 0 ? 0x0001 : 0));
    t.start_clock = start_sample_;
    t.duration = duration;
    t.bit_count = bits_;
    t.bytes = miso_;
    t.bytes2 = mosi_;
    t.exact = !AnyOverlap(in_.disturbances, start_time_, end_time);
    out_.push_back(std::move(t));
    open_ = false;
    first_edge_ignored_ = false;
  }

  const AnalyzerTruthInput& in_;
  const orvane::SettingsRecord& s_;
  const uint64_t period_;
  const uint64_t timeout_;
  std::vector<TruthTransaction> out_;
  uint8_t ss_level_;
  bool open_ = false;
  uint8_t kind_ = 0;
  uint64_t start_time_ = 0;
  uint64_t start_sample_ = 0;
  uint64_t quiet_since_ = 0;
  uint32_t bits_ = 0;
  std::vector<uint8_t> miso_;
  std::vector<uint8_t> mosi_;
  bool first_edge_ignored_ = false;
};

}  // namespace

std::vector<TruthTransaction> SpiAnalyzerTruth(const AnalyzerTruthInput& input) {
  return SpiTruthBuilder(input).Run();
}

}  // namespace velix::sim
