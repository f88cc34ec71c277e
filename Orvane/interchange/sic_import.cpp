#include "Orvane/interchange/sic_import.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>

#include "Orvane/capture/sample_atom.h"
#include "Orvane/interchange/bus_lines.h"
#include "Orvane/interchange/change_read_ahead.h"
#include "Orvane/interchange/channel_map.h"
#include "Orvane/interchange/edge_time.h"
#include "Orvane/interchange/replacing_file.h"
#include "sim/atom_encoder.h"
#include "sim/sic_writer.h"

namespace velix::interchange {
namespace {

constexpr size_t kBatch = 1u << 14;
constexpr size_t kBatchesAhead = 4;
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull;
// Every long atom carries at most 2047 samples, so no longer capture fits a
// file; the bound also keeps a hostile time stamp from making us write
// gigabytes of idle atoms before the size check could stop us.
constexpr uint64_t kMaxSamples = (kMaxDataBytes / 2) * orvane::kLongAtomMaxCount;
constexpr char kTooLong[] = "the capture is longer than a sampling data file can hold at this rate";

uint64_t RateOfCode(uint8_t code) { return 100000000ull / code; }

const char* RateText(uint8_t code) { return code == 2 ? "50 MHz" : code == 5 ? "20 MHz" : "10 MHz"; }

std::string TimeText(uint64_t tick, TickLength length) {
  const double seconds =
      static_cast<double>(tick) * static_cast<double>(length.numerator) / static_cast<double>(length.denominator);
  char text[64];
  std::snprintf(text, sizeof text, "%.9g s (tick %" PRIu64 ")", seconds, tick);
  return text;
}

bool BuildSettings(const LogicSource& source, const ImportOptions& options, orvane::SettingsRecord* settings,
                   std::string* error) {
  const std::vector<uint8_t> carried = source.CarriedSettings();
  const bool has_carried = carried.size() == orvane::kSettingsRecordSize;
  *settings = orvane::DefaultSettingsRecord();
  if (has_carried) std::memcpy(settings, carried.data(), carried.size());
  const uint8_t carried_bus = settings->m_AnalyzeBusChannel;
  if (options.bus_channel) {
    settings->m_AnalyzeBusChannel = *options.bus_channel;
  } else if (!has_carried || carried_bus > kBusI2c1) {
    *error = "name the bus with --bus spi, i2c0 or i2c1";
    return false;
  }
  const uint8_t code = settings->SamplePeriodCode;
  if (options.rate_code) {
    settings->SamplePeriodCode = *options.rate_code;
  } else if (code != 2 && code != 5 && code != 10) {
    settings->SamplePeriodCode = orvane::DefaultSettingsRecord().SamplePeriodCode;
  }
  settings->MonitorMode = 0;
  return true;
}

class Importer {
 public:
  Importer(LogicSource* source, std::string* error) : source_(*source), error_(*error) {}

  ImportStatus Run(const ImportOptions& options, const std::string& sic_path);

 private:
  ImportStatus Fail(ImportStatus status, const std::string& message) {
    error_ = message;
    return status;
  }
  // Feeds one batch to the encoder; false with a message.
  bool Take(const LevelChange* changes, size_t count);
  // False with a message for a change of a channel the source does not
  // have or one back in time; notes the change's time otherwise.
  bool InOrder(const LevelChange& c) {
    if (c.channel >= lines_of_channel_.size()) {
      error_ = "the source reported a channel it does not have";
      return false;
    }
    if (started_ && c.tick < last_tick_) {
      error_ = "the source went back in time at " + TimeText(c.tick, tick_length_);
      return false;
    }
    last_tick_ = c.tick;
    return true;
  }
  static uint8_t Next(uint8_t state, uint8_t mask, bool level) {
    return level ? static_cast<uint8_t>(state | mask) : static_cast<uint8_t>(state & ~mask);
  }
  bool Sample(uint64_t tick, uint64_t* sample) {
    if (rule_->FirstSample(tick, sample) && *sample <= kMaxSamples) return true;
    error_ = kTooLong;
    return false;
  }
  // The sample for any tick; past kMaxSamples when it does not fit.
  [[gnu::noinline]] uint64_t CheckedSample(uint64_t tick) const {
    uint64_t sample = 0;
    return rule_->FirstSample(tick, &sample) ? sample : kMaxSamples + 1;
  }
  void StartEncoder() {
    if (encoder_) return;
    encoder_ = std::make_unique<sim::AtomEncoder>(writer_.get(), state_);
    emitted_ = state_;
  }

  LogicSource& source_;
  // The source's tick, kept here: while the import runs, the source is
  // being read on another thread.
  TickLength tick_length_;
  std::string& error_;
  std::vector<uint8_t> lines_of_channel_;
  std::array<const char*, kProbeLines> line_names_{};
  std::vector<std::string> channel_names_;
  std::unique_ptr<EdgeTimeRule> rule_;
  // The last tick whose sample the narrow terms give, within kMaxSamples.
  uint64_t quick_limit_ = 0;
  std::unique_ptr<sim::ByteWriter> writer_;
  std::unique_ptr<sim::AtomEncoder> encoder_;
  uint8_t state_ = 0x0F;  // lines no channel feeds stay high
  uint8_t emitted_ = 0x0F;
  uint8_t rate_code_ = 2;
  bool started_ = false;
  uint64_t first_tick_ = 0;
  uint64_t last_tick_ = 0;
  uint64_t sample_ = 0;
  // The lines that changed in sample_: a second edge there would merge.
  uint8_t seen_ = 0;
  // The atoms' changes found in one batch: at most one per level change.
  std::vector<sim::SampleState> emits_ = std::vector<sim::SampleState>(kBatch);
};

bool Importer::Take(const LevelChange* changes, size_t count) {
  const LevelChange* const end = changes + count;
  const LevelChange* c = changes;
  // The levels at the first tick are where the capture starts.
  for (; c != end && !encoder_; ++c) {
    if (!InOrder(*c)) return false;
    const uint8_t mask = lines_of_channel_[c->channel];
    if (mask == 0) continue;
    if (started_ && c->tick != first_tick_) {
      StartEncoder();
      break;
    }
    started_ = true;
    first_tick_ = c->tick;
    state_ = Next(state_, mask, c->level);
  }
  // The rest, with the running values and the rule held here rather than
  // in members the output buffer's byte stores could alias; the atoms are
  // written in one go at the end.
  const uint8_t* const masks = lines_of_channel_.data();
  const size_t channels = lines_of_channel_.size();
  const EdgeTimeRule::Narrow narrow = rule_->NarrowTerms();
  const uint64_t quick_limit = quick_limit_;
  sim::SampleState* emit = emits_.data();
  uint8_t state = state_;
  uint8_t emitted = emitted_;
  uint8_t seen = seen_;
  uint64_t last_tick = last_tick_;
  uint64_t current = sample_;
  for (; c != end; ++c) {
    if (c->channel >= channels || c->tick < last_tick) {
      last_tick_ = last_tick;
      return InOrder(*c);
    }
    last_tick = c->tick;
    const uint8_t mask = masks[c->channel];
    if (mask == 0) continue;
    uint64_t sample = 0;
    if (c->tick <= quick_limit) {
      sample = narrow.FirstSample(c->tick);
    } else {
      sample = CheckedSample(c->tick);
      if (sample > kMaxSamples) {
        error_ = kTooLong;
        return false;
      }
    }
    if (sample != current) {
      if (state != emitted) {
        *emit++ = {current, state};
        emitted = state;
      }
      current = sample;
      seen = 0;
    }
    const uint8_t next = Next(state, mask, c->level);
    const uint8_t merged = (state ^ next) & seen;
    if (merged != 0) {
      const int line = __builtin_ctz(merged);
      error_ = "the line " + std::string(line_names_[line]) + " (channel " + channel_names_[c->channel] +
               ") changes twice within one sample at " + RateText(rate_code_) + ", at " +
               TimeText(c->tick, tick_length_) + ": the edges would merge; choose a higher --rate";
      return false;
    }
    seen |= state ^ next;
    state = next;
  }
  // A batch of only initial levels has no encoder yet, and nothing to emit.
  if (emit != emits_.data()) encoder_->ChangeAll(emits_.data(), static_cast<size_t>(emit - emits_.data()));
  state_ = state;
  emitted_ = emitted;
  seen_ = seen;
  last_tick_ = last_tick;
  sample_ = current;
  return true;
}

ImportStatus Importer::Run(const ImportOptions& options, const std::string& sic_path) {
  orvane::SettingsRecord settings{};
  if (!BuildSettings(source_, options, &settings, &error_)) return ImportStatus::kBadChoice;
  const uint8_t bus = settings.m_AnalyzeBusChannel;
  LineSources sources{};
  channel_names_ = source_.Channels();
  if (!ResolveChannelMap(bus, options.map, channel_names_, &sources, &error_)) return ImportStatus::kBadChoice;
  lines_of_channel_.assign(channel_names_.size(), 0);
  for (int line = 0; line < kProbeLines; ++line) {
    if (sources[line] != kNoChannel) lines_of_channel_[sources[line]] |= static_cast<uint8_t>(1u << line);
  }
  line_names_ = LineNames(bus);
  rate_code_ = settings.SamplePeriodCode;
  const TickLength tick = source_.Tick();
  tick_length_ = tick;
  if (tick.numerator == 0 || tick.denominator == 0) return Fail(ImportStatus::kBadInput, "the source has no time base");
  rule_ = std::make_unique<EdgeTimeRule>(tick, RateOfCode(rate_code_));
  quick_limit_ = rule_->LastNarrowTick(kMaxSamples);

  ReplacingFile target;
  if (!target.Create(sic_path, &error_)) return ImportStatus::kWriteFailed;
  sim::SicFileWriter sic;
  if (!sic.Open(target.TemporaryPath(), settings, &error_)) {
    error_ = target.InTargetTerms(error_);
    return ImportStatus::kWriteFailed;
  }
  sim::ChunkSink file_sink = sic.DataSink();
  uint64_t data_bytes = 0;
  bool too_big = false;
  writer_ = std::make_unique<sim::ByteWriter>([&](const uint8_t* data, size_t size) {
    data_bytes += size;
    if (data_bytes > kMaxDataBytes) {
      too_big = true;
      return false;
    }
    return file_sink(data, size);
  });

  // The source parses ahead on its own thread while this one samples,
  // encodes and writes.
  ChangeReadAhead ahead(&source_, kBatch, kBatchesAhead);
  while (writer_->ok()) {
    const std::span<const LevelChange> batch = ahead.Next();
    if (batch.empty()) break;
    if (!Take(batch.data(), batch.size())) return ImportStatus::kBadInput;
  }
  ahead.Finish();
  if (source_.State() == SourceState::kFailed) return Fail(ImportStatus::kBadInput, source_.Error());
  if (writer_->ok()) {
    StartEncoder();
    if (state_ != emitted_) encoder_->Change(sample_, state_);
    uint64_t end = 0;
    if (!Sample(source_.EndTick(), &end)) return ImportStatus::kBadInput;
    encoder_->End(end > sample_ ? end : sample_);
  }
  if (too_big) return Fail(ImportStatus::kBadInput, "the data do not fit a sampling data file (over 4 GiB)");
  if (!sic.Finish(settings, &error_)) {
    error_ = target.InTargetTerms(error_);
    return ImportStatus::kWriteFailed;
  }
  return target.Commit(&error_) ? ImportStatus::kOk : ImportStatus::kWriteFailed;
}

}  // namespace

ImportStatus ImportToSic(LogicSource* source, const ImportOptions& options, const std::string& sic_path,
                         std::string* error) {
  return Importer(source, error).Run(options, sic_path);
}

}  // namespace velix::interchange
