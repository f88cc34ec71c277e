#pragma once
// What happens when a finished transaction meets the software trigger: the
// first such record of a run is marked, a live capture announces it, and
// the capture's stop position is derived from the trigger position (the
// share of the buffer still recorded after the trigger).

#include <cstdint>

#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/decode_context.h"

namespace orvane {

inline constexpr char kTriggerText[] = " ***  [TRIGGER!!!]  ***";
inline constexpr char kTriggerTextJapanese[] = " ***  [トリガー検出!!!]  ***";

// Where the capture ends for a trigger record at `sample_pos` / `sample_len`
// with trigger position `percent` (not used for 0): 100 keeps everything
// before the record (4 bytes before it, not before position 0); otherwise
// the record's end plus percent of the capture, rounded down to a whole
// unit and wrapped into the ring.
uint32_t TriggerStopPosition(uint32_t percent, uint32_t sample_pos, uint32_t sample_len,
                             uint32_t capture_size, uint32_t unit_bytes);

// Handles a record that met the trigger. Only the first trigger of a run
// acts; later ones are ignored. Returns true when the run must end now
// (trigger position 0, or a free-run writer already at or past the stop).
bool ApplyTriggerAction(DecodeContext& ctx, TransactionInfo& record, uint32_t unit_bytes);

}  // namespace orvane
