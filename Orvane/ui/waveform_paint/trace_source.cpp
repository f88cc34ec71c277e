#include "Orvane/ui/waveform_paint/trace_source.h"

#include "Orvane/decode/linked_records.h"

namespace orvane::ui {

TraceSource TraceSourceOf(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record) {
  TraceSource source;
  source.sampling = &sampling;
  source.start_position = record.SamplePos;
  if (const TransactionInfo* next = LinkedRecord(sampling.Records(), record.Next)) {
    source.last_position = next->SamplePos;
  }
  source.data_end = sampling.m_lenSamplingDataInBuffer;
  source.mapping = LineMappingFor(settings);
  // old_Signal is stored already mapped to the bus lines.
  source.initial_state = static_cast<uint8_t>(record.old_Signal & source.mapping.mask);
  source.initial_clock = -int64_t(record.old_SignalClock);
  return source;
}

}  // namespace orvane::ui
