#pragma once
// Ground truth of analyzer captures: the transactions the I2C and SPI
// analyzer decoders are to report for a waveform, derived from its bus
// events with the decoders' rules and the capture's settings. Times become
// sample clocks with the capture's sample period.

#include <vector>

#include "Orvane/capture/settings_record.h"
#include "sim/disturbances.h"
#include "sim/ground_truth.h"
#include "sim/waveform.h"

namespace velix::sim {

struct AnalyzerTruthInput {
  const Waveform* waveform = nullptr;
  const orvane::SettingsRecord* settings = nullptr;
  uint64_t total_samples = 0;
  std::vector<TimeSpan> disturbances;
};

std::vector<TruthTransaction> I2cAnalyzerTruth(const AnalyzerTruthInput& input);
std::vector<TruthTransaction> SpiAnalyzerTruth(const AnalyzerTruthInput& input);

// Bytes and ACK bits of the first `bit_count` clocked I2C bits (nine per
// byte, the ninth the ACK), as the decoder's byte extraction yields them.
void SplitI2cBits(const std::vector<uint8_t>& bits, uint32_t bit_count, std::vector<uint8_t>* bytes,
                  std::vector<uint8_t>* acks);

}  // namespace velix::sim
