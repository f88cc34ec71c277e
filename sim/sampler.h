#pragma once
// Turns timed line changes into sample-indexed changes. Sample k is taken at
// k x period (10 ns units) and shows the latest change at or before that
// instant, so a change at time t first appears in sample ceil(t / period)
// and changes closer together than a period may collapse into one.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/waveform.h"

namespace velix::sim {

// Receives the lines sample by sample, as changes.
class SampleSink {
 public:
  virtual ~SampleSink() = default;
  // From `sample` on the lines show `state`; samples only increase.
  virtual void Change(uint64_t sample, uint8_t state) = 0;
  // A corrupt atom is wanted before `sample`'s state continues.
  virtual void Corrupt(uint64_t sample) = 0;
  // The capture holds `samples` samples in all.
  virtual void End(uint64_t samples) = 0;
};

class Sampler {
 public:
  Sampler(uint8_t period_code, uint8_t initial_state, SampleSink* sink)
      : period_(period_code), emitted_(initial_state), pending_state_(initial_state), sink_(*sink) {}

  void Change(uint64_t time, uint8_t state);
  void End(uint64_t end_time);

 private:
  void FlushPending();

  const uint64_t period_;
  uint8_t emitted_;
  uint64_t pending_sample_ = 0;
  uint8_t pending_state_;
  SampleSink& sink_;
};

// The device's noise filter: per line, a level that lasts fewer than
// `min_samples` samples is dropped and the line keeps its previous level.
// No delay is added; a kept change appears at the sample it happened at.
class NoiseFilter : public SampleSink {
 public:
  NoiseFilter(uint32_t min_samples, uint8_t initial_state, SampleSink* sink)
      : n_(min_samples), input_(initial_state), output_(initial_state), sink_(*sink) {}

  void Change(uint64_t sample, uint8_t state) override;
  void Corrupt(uint64_t sample) override;
  void End(uint64_t samples) override;

 private:
  struct Pending {
    bool active = false;
    uint64_t sample = 0;
    uint8_t level = 0;
  };
  // Commits the pending changes that started at or before `last_start`.
  void CommitUpTo(uint64_t last_start);

  const uint32_t n_;
  uint8_t input_;
  uint8_t output_;
  Pending pending_[4];
  SampleSink& sink_;
};

// Minimum run length of the settings' NoiseFilter value (0 = no filter).
uint32_t NoiseFilterSamples(uint8_t noise_filter_setting);

// Feeds one waveform's changes, shifted by `time_offset`, to the sampler.
void SampleWaveform(const Waveform& waveform, uint64_t time_offset, Sampler* sampler);

// The sampled (and filtered) states one by one; false when they would be
// more than `max_samples`.
bool RenderSampleStates(const Waveform& waveform, uint8_t period_code, uint32_t filter_samples,
                        uint64_t max_samples, std::vector<uint8_t>* states);

}  // namespace velix::sim
