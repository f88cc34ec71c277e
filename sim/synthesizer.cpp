#include "sim/synthesizer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Orvane/capture/sample_atom.h"
#include "sim/analyzer_truth.h"
#include "sim/i2c_waveform.h"
#include "sim/monitor_units.h"
#include "sim/sampler.h"
#include "sim/scenario_parser.h"
#include "sim/sic_writer.h"
#include "sim/spi_waveform.h"
#include "sim/synth_settings.h"

namespace velix::sim {
namespace {

constexpr uint64_t kPassAlignment = 10;  // every sample period (2, 5, 10) divides it

const char* BusName(BusKind bus) {
  return bus == BusKind::kSpi ? "spi" : bus == BusKind::kI2c0 ? "i2c0" : "i2c1";
}

std::vector<TruthTransaction> AnalyzerTruthOfOnePass(const SynthPlan& plan) {
  AnalyzerTruthInput input;
  input.waveform = &plan.waveform;
  input.settings = &plan.settings;
  input.total_samples = plan.pass_length / plan.settings.SamplePeriodCode;
  input.disturbances = FindSamplingDisturbances(plan.waveform, plan.settings.SamplePeriodCode,
                                                NoiseFilterSamples(plan.settings.NoiseFilter));
  return plan.scenario.bus == BusKind::kSpi ? SpiAnalyzerTruth(input) : I2cAnalyzerTruth(input);
}

// Upper bound of the data bytes one pass can produce.
uint64_t PassSizeBound(const SynthPlan& plan) {
  const uint64_t changes = plan.waveform.changes.size() + plan.waveform.events.size();
  if (plan.mode == CaptureMode::kMonitor) return 4 * (changes + plan.pass_length / kTenNsPerSecond + 2);
  const uint64_t samples = plan.pass_length / plan.settings.SamplePeriodCode;
  return 2 + 6 * changes + 2 * (samples / orvane::kLongAtomMaxCount + 1);
}

bool CheckRepeatable(const SynthPlan& plan, const std::vector<TruthTransaction>& one_pass, std::string* error) {
  for (const BusEvent& event : plan.waveform.events) {
    if (event.kind == BusEventKind::kCorrupt) {
      *error = "a scenario with a corrupt atom cannot be repeated";
      return false;
    }
  }
  const uint8_t final_state =
      plan.waveform.changes.empty() ? plan.waveform.initial_state : plan.waveform.changes.back().state;
  bool open = final_state != plan.waveform.initial_state;
  for (const TruthTransaction& t : one_pass) open = open || (t.start_end & 0x80) != 0;
  if (open) {
    *error = "the scenario does not end with an idle bus (a transaction stays open), so it cannot be repeated";
    return false;
  }
  return true;
}

class PassLoop {
 public:
  PassLoop(const SynthOptions& options, const ByteWriter& writer) : options_(options), writer_(writer) {}

  // True while another pass is wanted and fits.
  bool Next() {
    if (pass_ > 0) last_pass_bytes_ = writer_.written() - pass_begin_;
    if (options_.target_size != 0) {
      if (pass_ > 0 && writer_.written() + 2 * last_pass_bytes_ + 16 > options_.target_size) return false;
    } else if (pass_ >= options_.repeat) {
      return false;
    }
    pass_begin_ = writer_.written();
    ++pass_;
    return true;
  }
  uint64_t index() const { return pass_ - 1; }
  uint64_t passes() const { return pass_; }

 private:
  const SynthOptions& options_;
  const ByteWriter& writer_;
  uint64_t pass_ = 0;
  uint64_t pass_begin_ = 0;
  uint64_t last_pass_bytes_ = 0;
};

bool StreamAnalyzer(const SynthPlan& plan, const SynthOptions& options, ByteWriter* writer,
                    const std::vector<TruthTransaction>& one_pass, const TruthSink& truth, std::string* error) {
  const uint8_t initial = plan.waveform.initial_state;
  const uint64_t period = plan.settings.SamplePeriodCode;
  AtomEncoder encoder(writer, initial, options.padding);
  NoiseFilter filter(NoiseFilterSamples(plan.settings.NoiseFilter), initial, &encoder);
  SampleSink* sink = NoiseFilterSamples(plan.settings.NoiseFilter) > 1 ? static_cast<SampleSink*>(&filter) : &encoder;
  Sampler sampler(static_cast<uint8_t>(period), initial, sink);
  PassLoop loop(options, *writer);
  while (loop.Next()) {
    const uint64_t offset = loop.index() * plan.pass_length;
    SampleWaveform(plan.waveform, offset, &sampler);
    if (truth) {
      for (TruthTransaction t : one_pass) {
        t.index = static_cast<uint32_t>(t.index + loop.index() * one_pass.size());
        t.start_clock += offset / period;
        truth(t);
      }
    }
    if (!writer->ok()) break;
  }
  sampler.End(loop.passes() * plan.pass_length);
  if (options.target_size != 0) {
    if (writer->written() > options.target_size) {
      *error = "target size is smaller than one pass of the scenario";
      return false;
    }
    encoder.PadToSize(options.target_size);
  }
  return true;
}

bool StreamMonitor(const SynthPlan& plan, const SynthOptions& options, ByteWriter* writer, const TruthSink& truth,
                   std::string* error) {
  const bool spi = plan.scenario.bus == BusKind::kSpi;
  const uint64_t unit = spi ? 4 : 2;
  if (options.target_size % unit != 0) {
    *error = "target size must be a multiple of the unit size (" + std::to_string(unit) + " bytes)";
    return false;
  }
  PassLoop loop(options, *writer);
  uint64_t index = 0;
  while (loop.Next()) {
    std::vector<TruthTransaction> transactions;
    if (spi) WriteSpiMonitorUnits(plan.waveform, plan.settings, writer, &transactions);
    else WriteI2cMonitorUnits(plan.waveform, plan.settings, plan.scenario.packing, writer, &transactions);
    for (TruthTransaction& t : transactions) {
      t.index = static_cast<uint32_t>(index++);
      if (truth) truth(t);
    }
    if (!writer->ok()) break;
  }
  if (options.target_size != 0) {
    if (writer->written() > options.target_size) {
      *error = "target size is smaller than one pass of the scenario";
      return false;
    }
    while (writer->written() < options.target_size) writer->Put(0);  // empty units
  }
  writer->Flush();
  return true;
}

}  // namespace

bool PrepareSynthesis(std::string_view scenario_text, const SynthOptions& options, SynthPlan* plan,
                      std::string* error) {
  if (!ParseScenario(scenario_text, &plan->scenario, error)) return false;
  if (!BuildCaptureSettings(plan->scenario, options.mode == CaptureMode::kMonitor, options.rate_code,
                            &plan->settings, error)) {
    return false;
  }
  plan->mode = options.mode;
  const bool ok = plan->scenario.bus == BusKind::kSpi ? GenerateSpiWaveform(plan->scenario, &plan->waveform, error)
                                                       : GenerateI2cWaveform(plan->scenario, &plan->waveform, error);
  if (!ok) return false;
  const uint64_t end = plan->waveform.end_time;
  plan->pass_length = (end / kPassAlignment + 1) * kPassAlignment;
  return true;
}

bool StreamCapture(const SynthPlan& plan, const SynthOptions& options, const ChunkSink& data, const TruthSink& truth,
                   GroundTruth* header, uint64_t* data_bytes, std::string* error) {
  header->mode = plan.mode == CaptureMode::kMonitor ? "monitor" : "analyzer";
  header->bus = BusName(plan.scenario.bus);
  header->rate_code = plan.settings.SamplePeriodCode;
  header->ignore_nack_before_stop = plan.settings.IgnoreNackBeforeStop != 0;
  header->hs_enable = plan.settings.HsEnable != 0;
  if (options.repeat == 0) {
    *error = "repeat count must be at least 1";
    return false;
  }
  const std::vector<TruthTransaction> one_pass = AnalyzerTruthOfOnePass(plan);
  const bool repeated = options.repeat > 1 || options.target_size != 0;
  if (repeated && !CheckRepeatable(plan, one_pass, error)) return false;
  const uint64_t bound = options.target_size != 0 ? options.target_size : PassSizeBound(plan) * options.repeat;
  if (bound > options.max_output_bytes || options.repeat > options.max_output_bytes) {
    *error = "the capture would exceed " + std::to_string(options.max_output_bytes) + " bytes";
    return false;
  }
  ByteWriter writer(data);
  const bool ok = plan.mode == CaptureMode::kMonitor ? StreamMonitor(plan, options, &writer, truth, error)
                                                     : StreamAnalyzer(plan, options, &writer, one_pass, truth, error);
  if (!ok) return false;
  if (!writer.ok()) {
    *error = "the data sink refused the data";
    return false;
  }
  *data_bytes = writer.written();
  return true;
}

bool SynthesizeToMemory(std::string_view scenario_text, const SynthOptions& options, uint64_t max_bytes,
                        SynthResult* result, std::string* error) {
  SynthPlan plan;
  if (!PrepareSynthesis(scenario_text, options, &plan, error)) return false;
  result->data.clear();
  result->truth = GroundTruth{};
  auto data = [&](const uint8_t* bytes, size_t size) {
    if (result->data.size() + size > max_bytes) return false;
    result->data.insert(result->data.end(), bytes, bytes + size);
    return true;
  };
  auto truth = [&](const TruthTransaction& t) { result->truth.transactions.push_back(t); };
  uint64_t written = 0;
  if (!StreamCapture(plan, options, data, truth, &result->truth, &written, error)) return false;
  result->settings = plan.settings;
  result->settings.m_sizeSamplingBuf = static_cast<uint32_t>(written);
  return true;
}

bool SynthesizeSicFile(const std::string& scenario_text, const SynthOptions& options, const std::string& out_path,
                       const std::string& truth_path, std::string* error, bool* write_failed) {
  bool unused = false;
  bool& failed_write = write_failed != nullptr ? *write_failed : unused;
  failed_write = false;
  SynthPlan plan;
  if (!PrepareSynthesis(scenario_text, options, &plan, error)) return false;
  SicFileWriter sic;
  if (!sic.Open(out_path, plan.settings, error)) {
    failed_write = true;
    return false;
  }
  const auto truth_error = [&] {
    failed_write = true;
    *error = "cannot write " + truth_path + (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
    return false;
  };
  std::FILE* truth_file = nullptr;
  errno = 0;
  if (!truth_path.empty() && (truth_file = std::fopen(truth_path.c_str(), "w")) == nullptr) return truth_error();
  GroundTruth header;
  bool truth_ok = true;
  int truth_errno = 0;
  std::string pending;
  const auto write_pending = [&] {
    if (truth_ok && std::fwrite(pending.data(), 1, pending.size(), truth_file) != pending.size()) {
      truth_ok = false;
      truth_errno = errno;
    }
  };
  // The header line must come first even when no transaction follows; it is
  // written before the first transaction or at the end.
  bool header_written = false;
  auto truth_sink = [&](const TruthTransaction& t) {
    if (!header_written) {
      pending = FormatTruthHeader(header);
      header_written = true;
    }
    pending += FormatTruthTransaction(header, t);
    if (pending.size() > (1 << 20)) {
      write_pending();
      pending.clear();
    }
  };
  uint64_t written = 0;
  bool ok = StreamCapture(plan, options, sic.DataSink(), truth_file ? TruthSink(truth_sink) : TruthSink(), &header,
                          &written, error);
  // A refused chunk is the file's fault: Finish words it with the reason.
  if (ok || sic.WriteFailed()) ok = sic.Finish(plan.settings, error) && ok;
  failed_write = sic.WriteFailed();
  if (truth_file != nullptr) {
    if (!header_written) pending = FormatTruthHeader(header);
    write_pending();
    if (std::fclose(truth_file) != 0 && truth_ok) {
      truth_ok = false;
      truth_errno = errno;
    }
    if (ok && !truth_ok) {
      errno = truth_errno;
      return truth_error();
    }
  }
  return ok;
}

}  // namespace velix::sim
