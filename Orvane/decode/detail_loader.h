#pragma once
// Fills the sampling object's transaction detail with every byte of one
// record, re-extracted from the sampling data by the extraction routine of
// the decoder that made it.

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

// Frees the previous detail, then extracts the record's bytes by bus channel
// and mode. Forced display mode and any other channel leave no detail
// (index -1, count 0).
void LoadTransactionDetail(CSamplingObj& sampling, const SettingsRecord& settings,
                           const TransactionInfo& record);

}  // namespace orvane
