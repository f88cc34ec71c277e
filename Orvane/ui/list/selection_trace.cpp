#include "Orvane/ui/list/selection_trace.h"

#include <cinttypes>

#include "platform/trace.h"

namespace orvane {

using velix::platform::TraceDebug;

void TraceListSelection(uint32_t row, RecordRef ref, const TransactionInfo& record,
                        const CSamplingObj& sampling) {
  if (!velix::platform::DebugMessages()) return;
  TraceDebug("+-------------------------------------------------+ (LView index=%u) \n", row);
  TraceDebug("Transaction No.= %u  : TransactionAdrs=0x%X \n", record.Index, ref);
  TraceDebug(" Sampling Data adrs  =  0x%08X,   size = 0x%X (%u) \n", record.SamplePos, record.SampleLen,
             record.SampleLen);
  TraceDebug("  Data Bit(orByte)Count = %u \n", record.BitCount);
  TraceDebug("    bStartEndType = 0x%02X,   flag = 0x%02X \r\n", record.bStartEndType, record.RecordFlags);
  if ((record.RecordFlags & kRecordAnalyzer) != 0) {
    TraceDebug("  * Start clock = %" PRIu64 ",  clock Count = %u \n", record.StartClock, record.Duration);
    TraceDebug("  * old_Signal:0x%02X,   old_SignalClock:%u \n", record.old_Signal, record.old_SignalClock);
  }
  // Positions are offsets, so the buffer starts at 0 and ends at its size.
  TraceDebug("  SamplingBuf_StartAdrs = 0x%08X,  m_SamplingBuf_EndAdrs = 0x%X \n", 0u,
             sampling.m_sizeSamplingBuf.load());
  TraceDebug("*-------------------------------------------------* \n");
}

}  // namespace orvane
