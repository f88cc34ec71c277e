#pragma once
// Which record a row of the transaction list shows. The list knows only the
// count it has announced; a row's record is copied on demand, either from
// the live snapshot or from the view index under the view lock, and never
// kept.

#include <cstdint>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/ui/list/live_snapshot.h"

namespace orvane {

// Copies the record of `row` into `out` (and its store reference into `ref`
// when given; kNoRecord for a snapshot row). False, with nothing copied,
// for a row at or beyond `announced`, without a sampling object, for a row
// the view index no longer holds, or for a snapshot record not yet complete.
bool ListRecordAt(CSamplingObj* sampling, const LiveSnapshot& snapshot, uint32_t announced,
                  uint32_t row, TransactionInfo* out, RecordRef* ref = nullptr);

}  // namespace orvane
