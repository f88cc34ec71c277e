#include "sim/sampler.h"

#include <limits>

namespace velix::sim {

void Sampler::Change(uint64_t time, uint8_t state) {
  const uint64_t sample = (time + period_ - 1) / period_;
  if (state == kCorruptMarker) {
    FlushPending();
    sink_.Corrupt(sample);
    return;
  }
  // Later changes within one sample period overwrite earlier ones.
  if (sample != pending_sample_) FlushPending();
  pending_sample_ = sample;
  pending_state_ = state;
}

void Sampler::FlushPending() {
  if (pending_state_ == emitted_) return;
  sink_.Change(pending_sample_, pending_state_);
  emitted_ = pending_state_;
}

void Sampler::End(uint64_t end_time) {
  const uint64_t samples = (end_time + period_ - 1) / period_;
  if (pending_sample_ < samples) FlushPending();
  sink_.End(samples);
}

void NoiseFilter::CommitUpTo(uint64_t last_start) {
  for (;;) {
    uint64_t earliest = std::numeric_limits<uint64_t>::max();
    for (const Pending& p : pending_) {
      if (p.active && p.sample <= last_start && p.sample < earliest) earliest = p.sample;
    }
    if (earliest == std::numeric_limits<uint64_t>::max()) return;
    for (int line = 0; line < 4; ++line) {
      Pending& p = pending_[line];
      if (!p.active || p.sample != earliest) continue;
      const auto bit = static_cast<uint8_t>(1u << line);
      output_ = static_cast<uint8_t>(p.level ? (output_ | bit) : (output_ & ~bit));
      p.active = false;
    }
    sink_.Change(earliest, output_);
  }
}

void NoiseFilter::Change(uint64_t sample, uint8_t state) {
  if (sample >= n_) CommitUpTo(sample - n_);
  const uint8_t changed = state ^ input_;
  for (int line = 0; line < 4; ++line) {
    if (((changed >> line) & 1) == 0) continue;
    Pending& p = pending_[line];
    // A pending level that ends before lasting n samples is a glitch; the
    // line then simply returns to its output level.
    if (p.active) {
      p.active = false;
    } else {
      p = {true, sample, static_cast<uint8_t>((state >> line) & 1)};
    }
  }
  input_ = state;
}

void NoiseFilter::Corrupt(uint64_t sample) {
  CommitUpTo(std::numeric_limits<uint64_t>::max());
  sink_.Corrupt(sample);
}

void NoiseFilter::End(uint64_t samples) {
  if (samples >= n_) CommitUpTo(samples - n_);
  sink_.End(samples);
}

uint32_t NoiseFilterSamples(uint8_t noise_filter_setting) {
  return noise_filter_setting >= 1 && noise_filter_setting <= 3 ? noise_filter_setting + 1u : 1u;
}

void SampleWaveform(const Waveform& waveform, uint64_t time_offset, Sampler* sampler) {
  for (const LineChange& change : waveform.changes) sampler->Change(change.time + time_offset, change.state);
}

namespace {

class StateCollector : public SampleSink {
 public:
  StateCollector(uint8_t initial, uint64_t max_samples, std::vector<uint8_t>* states)
      : state_(initial), max_(max_samples), states_(*states) {}

  void Change(uint64_t sample, uint8_t state) override {
    FillTo(sample);
    state_ = state;
  }
  void Corrupt(uint64_t) override {}
  void End(uint64_t samples) override { FillTo(samples); }
  bool ok() const { return ok_; }

 private:
  void FillTo(uint64_t sample) {
    if (sample > max_) {
      ok_ = false;
      return;
    }
    if (sample > states_.size()) states_.resize(sample, state_);
  }

  uint8_t state_;
  const uint64_t max_;
  std::vector<uint8_t>& states_;
  bool ok_ = true;
};

}  // namespace

bool RenderSampleStates(const Waveform& waveform, uint8_t period_code, uint32_t filter_samples,
                        uint64_t max_samples, std::vector<uint8_t>* states) {
  states->clear();
  StateCollector collector(waveform.initial_state, max_samples, states);
  NoiseFilter filter(filter_samples, waveform.initial_state, &collector);
  SampleSink* sink = filter_samples > 1 ? static_cast<SampleSink*>(&filter) : &collector;
  Sampler sampler(period_code, waveform.initial_state, sink);
  SampleWaveform(waveform, 0, &sampler);
  sampler.End(waveform.end_time);
  return collector.ok();
}

}  // namespace velix::sim
