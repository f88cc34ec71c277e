#include "Orvane/ui/waveform/marker_jumps.h"

#include "Orvane/capture/atom_walker.h"
#include "Orvane/decode/line_mapping.h"
#include "Orvane/decode/signal_cursor.h"

namespace orvane::ui {

uint32_t SignalWalkLimit(CSamplingObj& sampling, const TransactionInfo& record) {
  return record.Next != kNoRecord ? sampling.Records().At(record.Next).SamplePos : kNoPositionLimit;
}

std::optional<int64_t> SignalChangeFrom(CSamplingObj& sampling, const SettingsRecord& settings,
                                        const TransactionInfo& record, uint32_t last_position,
                                        int64_t at, bool forward) {
  if (!sampling.HasBuffer()) return std::nullopt;
  AtomWalker walker(sampling);
  ClockPoint point;
  if (!GetSignal_ClockPoint(walker, LineMappingFor(settings), record,
                            sampling.m_lenSamplingDataInBuffer, last_position, at, &point)) {
    return std::nullopt;
  }
  return forward ? at + point.remaining : point.change_offset;
}

std::optional<int32_t> ByteStartFrom(std::span<const uint32_t> offsets, int32_t at, bool forward) {
  if (offsets.empty()) return std::nullopt;
  // Byte starts are never negative: a marker in the lead-in lies before all.
  const int64_t marker = at;
  if (forward) {
    for (const uint32_t offset : offsets) {
      if (int64_t{offset} > marker) return static_cast<int32_t>(offset);
    }
    return std::nullopt;
  }
  if (int64_t{offsets.back()} < marker) return static_cast<int32_t>(offsets.back());
  for (size_t i = 0; i < offsets.size(); ++i) {
    if (int64_t{offsets[i]} >= marker) {
      if (i == 0) return std::nullopt;
      return static_cast<int32_t>(offsets[i - 1]);
    }
  }
  return std::nullopt;
}

}  // namespace orvane::ui
