#include "Orvane/decode/waveform_overlays.h"

#include "Orvane/decode/error_timing_marks.h"
#include "Orvane/decode/i2c_extract.h"
#include "Orvane/decode/linked_records.h"
#include "Orvane/decode/timing_marks.h"

namespace orvane {

namespace {

// Overlays exist only for the I2C bus of an analyzer capture shown as
// decoded transactions.
bool ShowsI2CTiming(const SettingsRecord& settings) {
  const uint8_t channel = settings.m_AnalyzeBusChannel & 3;
  return settings.MonitorMode == 0 && settings.ForcedDisplay == 0 && (channel == 1 || channel == 2);
}

// The complete bytes only: a byte cut short has no ACK clock. Every ACK
// clock rises after the opening condition, so a zero offset marks where the
// extraction stopped; the list keeps the ascending offsets before it.
// The selected record's detail, loaded just before, already holds them (the
// same extraction, run over every byte begun): a second walk over a long
// transaction is what a selection would otherwise wait for.
std::vector<AckMark> ExtractAckMarks(CSamplingObj& sampling, const SettingsRecord& settings,
                                     const TransactionInfo& record) {
  const uint32_t complete = record.BitCount / 9;
  const TransactionDetail& loaded = sampling.Detail();
  TransactionDetail extracted;
  const bool reuse = loaded.index >= 0 && static_cast<uint32_t>(loaded.index) == record.Index &&
                     loaded.count >= complete && loaded.ack_offsets.size() >= complete;
  if (!reuse) ExtractI2CAnalyzerDetail(sampling, settings.m_AnalyzeBusChannel & 3, record, complete, &extracted);
  const TransactionDetail& detail = reuse ? loaded : extracted;
  uint32_t reached = 0;
  while (reached < complete && reached < detail.count && detail.ack_offsets[reached] != 0) ++reached;
  std::vector<AckMark> acks(reached);
  for (uint32_t i = 0; i < reached; ++i) {
    acks[i].offset = MarkClocks(detail.ack_offsets[i]);
    acks[i].nack = ((detail.bytes2[i / 8] >> (7 - i % 8)) & 1) != 0;
  }
  return acks;
}

}  // namespace

void BuildTransactionOverlays(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record,
                              WaveformOverlays* out) {
  *out = WaveformOverlays{};
  if (!ShowsI2CTiming(settings)) return;
  TransactionStore& store = sampling.Records();
  const TimingInfo* timing = store.Timing(record);
  if (timing != nullptr) {
    ConditionMarks& c = out->conditions;
    if (record.bStartEndType & kBeganStart) {
      c.start = true;
      c.start_offset = MarkClocks(timing->tHD_STA_start);
    } else if (record.bStartEndType & kBeganRepeatedStart) {
      c.repeat = true;
      c.repeat_offset = MarkClocks(timing->tHD_STA_start);
    }
    if (record.bStartEndType & kEndedStop) {
      c.stop = true;
      c.stop_offset = MarkClocks(record.Duration);
    }
  }
  out->acks = ExtractAckMarks(sampling, settings, record);
  if (timing == nullptr) return;
  TimingNeighbours neighbours;
  if (const TransactionInfo* previous = LinkedRecord(store, record.Prev)) {
    neighbours.previous_timing = store.Timing(*previous);
  }
  neighbours.next = LinkedRecord(store, record.Next);
  out->timing = BuildTimingMarks(settings, record, *timing, neighbours);
}

void BuildErrorTimingOverlays(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record,
                              WaveformOverlays* out) {
  out->clock.clear();
  out->data.clear();
  if (!ShowsI2CTiming(settings)) return;
  BuildErrorTimingMarks(sampling, settings, record, &out->clock, &out->data);
}

}  // namespace orvane
