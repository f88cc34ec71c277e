#pragma once
// Where a marker of the waveform view goes when the user jumps it to the
// next or previous line change, or to the next or previous byte start.

#include <cstdint>
#include <optional>
#include <span>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane::ui {

// The last sampling data position the signal walk of `record` may read:
// the next record's first atom, which tells when the state after the
// record's end changes (no limit after the last record). Without "Extend
// Time" the caller keeps the result within the record's own range.
uint32_t SignalWalkLimit(CSamplingObj& sampling, const TransactionInfo& record);

// Forward: where the line state in force at `at` ends (a change exactly at
// `at` counts as in force, so the jump goes to the change after it).
// Backward: the last change before `at`. None when the signal cannot be
// located there.
std::optional<int64_t> SignalChangeFrom(CSamplingObj& sampling, const SettingsRecord& settings,
                                        const TransactionInfo& record, uint32_t last_position,
                                        int64_t at, bool forward);

// Forward: the first byte start after `at`. Backward: the last byte start
// before `at`. None when there is no such byte.
std::optional<int32_t> ByteStartFrom(std::span<const uint32_t> offsets, int32_t at, bool forward);

}  // namespace orvane::ui
