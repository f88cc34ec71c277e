#pragma once
// The bus signal synthesizer: scenario text in, capture data (analyzer atoms
// or monitor units), the matching settings record and the ground truth out.
// Data are streamed in chunks, so captures of any size can be produced; a
// scenario can be repeated a number of times or up to an exact data size.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Orvane/capture/settings_record.h"
#include "sim/atom_encoder.h"
#include "sim/byte_writer.h"
#include "sim/ground_truth.h"
#include "sim/scenario.h"
#include "sim/waveform.h"

namespace velix::sim {

enum class CaptureMode : uint8_t { kAnalyzer, kMonitor };

struct SynthOptions {
  CaptureMode mode = CaptureMode::kAnalyzer;
  uint8_t rate_code = 0;      // 2, 5 or 10; 0 = the scenario's rate
  uint32_t repeat = 1;        // passes of the scenario
  uint64_t target_size = 0;   // non-zero: repeat, then pad to exactly this many data bytes
  PaddingStyle padding = PaddingStyle::kCarryPeriods;
  uint64_t max_output_bytes = 0xFFFFFFFFULL;  // a capture file holds at most 4 GiB
};

// A parsed scenario with its waveform and effective settings.
struct SynthPlan {
  Scenario scenario;
  Waveform waveform;
  orvane::SettingsRecord settings{};
  CaptureMode mode = CaptureMode::kAnalyzer;
  uint64_t pass_length = 0;  // one pass in 10 ns units, a multiple of every sample period
};

using TruthSink = std::function<void(const TruthTransaction&)>;

bool PrepareSynthesis(std::string_view scenario_text, const SynthOptions& options, SynthPlan* plan,
                      std::string* error);

// Streams the capture data to `data`, and each expected transaction to
// `truth` when given. `header` receives the truth's header fields.
bool StreamCapture(const SynthPlan& plan, const SynthOptions& options, const ChunkSink& data, const TruthSink& truth,
                   GroundTruth* header, uint64_t* data_bytes, std::string* error);

// The whole capture in memory, for tests and small tools; fails above
// `max_bytes`.
struct SynthResult {
  std::vector<uint8_t> data;
  GroundTruth truth;
  orvane::SettingsRecord settings{};
};
bool SynthesizeToMemory(std::string_view scenario_text, const SynthOptions& options, uint64_t max_bytes,
                        SynthResult* result, std::string* error);

// Writes FILE.SIC (header with the scenario's settings, then the data) and,
// when `truth_path` is not empty, the ground truth text. `write_failed`,
// when given, tells a failed write of either file (the message names the
// file and the system's reason) from an error of the scenario.
bool SynthesizeSicFile(const std::string& scenario_text, const SynthOptions& options, const std::string& out_path,
                       const std::string& truth_path, std::string* error, bool* write_failed = nullptr);

}  // namespace velix::sim
