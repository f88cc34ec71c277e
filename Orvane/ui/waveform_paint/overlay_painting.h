#pragma once
// The layers over the traces: condition and ACK labels, the timing mark
// lists with their translucent bands, and the byte values of the detail.
// Each walks only the entries inside the visible window.

#include "Orvane/capture/transaction_detail.h"
#include "Orvane/decode/waveform_overlays.h"
#include "Orvane/ui/waveform_paint/canvas_context.h"

namespace orvane::ui {

void PaintConditionLabels(CanvasContext& canvas, const ConditionMarks& conditions);
void PaintAckLabels(CanvasContext& canvas, const std::vector<AckMark>& acks);

enum class MarkList { kTiming, kClock, kData };
void PaintMarks(CanvasContext& canvas, const std::vector<TimingMark>& marks, MarkList list);

enum class ByteRows { kI2C, kSpi };
void PaintByteValues(CanvasContext& canvas, const TransactionDetail& detail, ByteRows rows);

}  // namespace orvane::ui
