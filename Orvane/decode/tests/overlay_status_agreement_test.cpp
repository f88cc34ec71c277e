#include <gtest/gtest.h>

#include <string>

#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "Orvane/decode/tests/random_timing_scenario.h"
#include "Orvane/decode/timing_marks.h"
#include "Orvane/decode/waveform_overlays.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using analyzer_test::Harness;
using analyzer_test::RandomTimingScenario;

// The status bits the overlays of one record stand for.
uint16_t BitsShown(const WaveformOverlays& o) {
  uint16_t bits = 0;
  for (const TimingMark& m : o.clock) bits |= m.colour == kHighPhaseMarkColour ? kStatusHigh : kStatusLow;
  for (const TimingMark& m : o.data) bits |= m.colour == kHdDatMarkColour ? kStatusHdDat : kStatusSuDat;
  for (const TimingMark& m : o.timing) {
    if (m.colour == kHdStaMarkColour) bits |= kStatusHdSta;
    if (m.colour == kSuStoMarkColour) bits |= kStatusSuSto;
    // Only the setup in the lead-in belongs to this record's status.
    if (m.colour == kSuStaMarkColour && m.start < 0) bits |= kStatusSuSta;
  }
  return bits;
}

class OverlayStatusAgreement : public ::testing::TestWithParam<uint32_t> {};

TEST_P(OverlayStatusAgreement, EveryTimingBitHasItsMarkAtEveryRate) {
  const std::string text = RandomTimingScenario(GetParam());
  SCOPED_TRACE(text);
  constexpr uint16_t kShownBits = kStatusHigh | kStatusLow | kStatusHdDat | kStatusSuDat | kStatusHdSta |
                                  kStatusSuSto | kStatusSuSta;
  uint16_t seen_set = 0;
  uint16_t seen_clear = 0;
  for (const uint8_t rate : {uint8_t{2}, uint8_t{5}, uint8_t{10}}) {
    SCOPED_TRACE(rate);
    velix::sim::SynthOptions options;
    options.rate_code = rate;
    velix::sim::SynthResult synth;
    std::string error;
    ASSERT_TRUE(velix::sim::SynthesizeToMemory(text, options, 64u << 20, &synth, &error)) << error;
    Harness h;
    const auto out = h.RunOffline(RunI2CAnalyzerDecode, synth.data, synth.settings);
    ASSERT_FALSE(out.records.empty());
    for (const TransactionInfo& r : out.records) {
      SCOPED_TRACE(r.Index);
      WaveformOverlays overlays;
      BuildTransactionOverlays(h.Sampling(), synth.settings, r, &overlays);
      BuildErrorTimingOverlays(h.Sampling(), synth.settings, r, &overlays);
      EXPECT_EQ(BitsShown(overlays), r.Status & kShownBits);
      seen_set |= r.Status & kShownBits;
      seen_clear |= ~r.Status & kShownBits;
    }
  }
  // The traffic must exercise the checks both ways, or the comparison says
  // little.
  EXPECT_EQ(seen_set & (kStatusLow | kStatusHigh | kStatusHdDat | kStatusHdSta),
            kStatusLow | kStatusHigh | kStatusHdDat | kStatusHdSta);
  EXPECT_EQ(seen_clear, kShownBits);
}

INSTANTIATE_TEST_SUITE_P(Seeds, OverlayStatusAgreement, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u));

}  // namespace
}  // namespace orvane
