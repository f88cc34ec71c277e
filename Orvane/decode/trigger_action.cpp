#include "Orvane/decode/trigger_action.h"

#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;

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
  // Offline the data are complete: the stop position only steers a capture.
  if (ctx.live) sampling.SamplingStopAdrs = stop;
  Trace(" *** TriggerPosPercent = %u(%%),   trigger_transaction s_adrs = 0x%X,  end_adrs = 0x%X \n"
        "   SamplingStopAdrs = 0x%X,    SamplingCurrentPtr = 0x%X\n",
        percent, record.SamplePos, record.SamplePos + record.SampleLen, stop,
        sampling.m_SamplingCurrentPtr.load());
  return false;
}

}  // namespace orvane
