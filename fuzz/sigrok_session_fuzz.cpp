// Any bytes as a session archive: opening either refuses with a message or
// gives a source whose changes keep their promises (every channel at tick
// 0 first, ticks never decrease, channels in range, all before the end).
// Bytes that are no zip archive are read as the metadata text instead: the
// archive's checksums would turn away nearly every mutated text otherwise.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "Orvane/interchange/session_metadata.h"
#include "Orvane/interchange/sigrok_session_source.h"

namespace {

// Small enough that an input crafted to expand keeps each run short.
constexpr uint64_t kFuzzLogicBytes = 1 << 20;
constexpr size_t kReadCapacity = 37;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velix::interchange;
  std::string error;
  std::unique_ptr<ZipArchive> archive = ZipArchive::OpenMemory(std::span<const uint8_t>(data, size), &error);
  if (archive == nullptr) {
    SessionMetadata metadata;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (ParseSessionMetadata(text, &metadata, &error) &&
        (metadata.channels.empty() || metadata.channels.back().bit >= metadata.total_probes ||
         metadata.tick.numerator == 0 || metadata.tick.denominator == 0)) {
      __builtin_trap();
    }
    return 0;
  }
  std::unique_ptr<LogicSource> source = OpenSigrokSession(std::move(archive), "fuzz.sr", kFuzzLogicBytes, &error);
  if (source == nullptr) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  const size_t channels = source->Channels().size();
  LevelChange changes[kReadCapacity];
  uint64_t seen = 0;
  uint64_t last_tick = 0;
  while (source->State() == SourceState::kReading) {
    const size_t got = source->Read(changes, kReadCapacity);
    if (got == 0 && source->State() == SourceState::kReading) __builtin_trap();
    for (size_t i = 0; i < got; ++i, ++seen) {
      const LevelChange& change = changes[i];
      if (change.channel >= channels || change.tick < last_tick) __builtin_trap();
      if (seen < channels && (change.tick != 0 || change.channel != seen)) __builtin_trap();
      last_tick = change.tick;
    }
  }
  if (source->State() == SourceState::kEnded && (seen < channels || last_tick >= source->EndTick())) __builtin_trap();
  if (source->State() == SourceState::kFailed && source->Error().empty()) __builtin_trap();
  return 0;
}
