#include "Orvane/decode/trigger_action.h"

#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;

namespace {

// Whether the writer of a free-run ring has already reached `stop`, both
// measured forward from the trigger record's end. The share after the
// trigger is then in the ring already; waiting for the writer to come
// round to the stop again would overwrite the trigger and all before it.
bool WriterReachedStop(const CSamplingObj& sampling, const TransactionInfo& record, uint32_t stop,
                       uint32_t ring_size) {
  const uint64_t end = (uint64_t(record.SamplePos) + record.SampleLen) % ring_size;
  const auto ahead = [&](uint32_t position) { return (position + ring_size - end) % ring_size; };
  return ahead(sampling.m_SamplingCurrentPtr) >= ahead(stop);
}

}  // namespace

uint32_t TriggerStopPosition(uint32_t percent, uint32_t sample_pos, uint32_t sample_len,
                             uint32_t capture_size, uint32_t unit_bytes) {
  if (percent == 100) return sample_pos >= 4 ? sample_pos - 4 : 0;
  uint64_t stop = uint64_t(sample_pos) + sample_len + uint64_t(percent) * capture_size / 100;
  stop -= stop % unit_bytes;
  // A position past the buffer end lies on the next lap of the ring. A
  // trigger position above 100 (only a damaged settings record has one)
  // may need more than one lap.
  if (capture_size != 0 && stop >= capture_size) stop %= capture_size;
  return static_cast<uint32_t>(stop);
}

bool ApplyTriggerAction(DecodeContext& ctx, TransactionInfo& record, uint32_t unit_bytes) {
  CSamplingObj& sampling = ctx.sampling;
  if (sampling.trigger_seen.exchange(true)) return false;
  record.RecordFlags |= kRecordTrigger;
  if (ctx.live) {
    ctx.events.Post({RunEventKind::kTriggerDetect, 0, 0, ctx.japanese ? kTriggerTextJapanese : kTriggerText});
  }
  const uint32_t percent = ctx.settings.TriggerPosition;
  if (percent == 0) {
    Trace("*** [TRIGGER] *** !!!  SAMPLING_END : *6 \n");
    return true;
  }
  const uint32_t capture_size = ctx.capture_size != 0 ? ctx.capture_size : sampling.m_sizeSamplingBuf.load();
  const uint32_t stop = TriggerStopPosition(percent, record.SamplePos, record.SampleLen, capture_size, unit_bytes);
  Trace(" *** TriggerPosPercent = %u(%%),   trigger_transaction s_adrs = 0x%X,  end_adrs = 0x%X \n"
        "   SamplingStopAdrs = 0x%X,    SamplingCurrentPtr = 0x%X\n",
        percent, record.SamplePos, record.SamplePos + record.SampleLen, stop,
        sampling.m_SamplingCurrentPtr.load());
  // Offline the data are complete: the stop position only steers a capture.
  if (!ctx.live) return false;
  const uint32_t ring_size = sampling.m_sizeSamplingBuf;
  if (ctx.settings.FreeRun != 0 && ring_size != 0 && WriterReachedStop(sampling, record, stop, ring_size)) {
    Trace("*** [TRIGGER] *** !!!  SamplingStopAdrs already written : SAMPLING_END \n");
    // The capture is complete as it stands: the drain after the stop must
    // not write on round the ring towards the trigger.
    sampling.trigger_done = true;
    return true;
  }
  sampling.SamplingStopAdrs = stop;
  return false;
}

}  // namespace orvane
