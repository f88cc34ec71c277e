#pragma once
// What the waveform view draws over the traces of one analyzer I2C
// transaction: the byte ACK/NACK positions, the spans of its START, STOP and
// repeated START timing measurements, and on request every clock and data
// timing violation. Built from the same measurements the timing
// verification makes, so the picture and the records' status agree.

#include <cstdint>
#include <string>
#include <vector>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

// One overlay span, in clock offsets from the transaction start.
struct TimingMark {
  int32_t start = 0;
  int32_t length = 0;
  uint32_t colour = 0;  // alpha in the top byte, then RGB
  std::string label;    // may be empty
};

struct AckMark {
  int32_t offset = 0;  // rising SCL edge of the byte's ninth clock
  bool nack = false;
};

// START, repeated START and STOP of the transaction, as the canvas labels them.
struct ConditionMarks {
  bool start = false, repeat = false, stop = false;
  int32_t start_offset = 0, repeat_offset = 0, stop_offset = 0;
};

struct WaveformOverlays {
  ConditionMarks conditions;
  std::vector<AckMark> acks;
  std::vector<TimingMark> timing;  // every shown I2C transaction
  std::vector<TimingMark> clock;   // "Show ErrorTiming" only
  std::vector<TimingMark> data;    // "Show ErrorTiming" only
};

// Conditions, ACK data and timing marks; clears the clock and data marks.
// Leaves everything empty outside an analyzer I2C capture or in forced
// display mode.
void BuildTransactionOverlays(CSamplingObj& sampling, const SettingsRecord& settings,
                              const TransactionInfo& record, WaveformOverlays* out);
// The clock and data marks of "Show ErrorTiming".
void BuildErrorTimingOverlays(CSamplingObj& sampling, const SettingsRecord& settings,
                              const TransactionInfo& record, WaveformOverlays* out);

}  // namespace orvane
