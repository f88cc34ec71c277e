#pragma once
// The diagnostic lines written when the user selects a list row (only with
// the "DebugMessage" setting on).

#include <cstdint>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

// `ref` is the record's place in the store; `sampling` gives the buffer
// bounds.
void TraceListSelection(uint32_t row, RecordRef ref, const TransactionInfo& record,
                        const CSamplingObj& sampling);

}  // namespace orvane
