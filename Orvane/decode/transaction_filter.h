#pragma once
// The transaction filter: rebuilds the view index from the complete
// decode-order list, entering only the records that pass the filter
// settings of the settings record. Runs on the front end's thread after an
// offline decode and whenever the filter dialog is confirmed; never during
// a live capture.
//
// The status texts "filtering..." and " " go to the InteractionSink's
// StatusText (colour 0) because the filter runs on the front end's thread,
// which drains nothing while it works; the sink shows them at once.

#include <cstdint>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/decode/cell_texts.h"
#include "Orvane/decode/detail_loader.h"
#include "platform/interaction.h"

namespace orvane {

struct FilterOutcome {
  uint32_t entered = 0;    // rows in the view index afterwards
  bool view_full = false;  // the walk stopped at the index capacity
};

// Resets the view index and walks the records. The first bytes the
// sub-address filter needs are read through `load` into the sampling
// object's detail (which no longer belongs to a selected row: the view
// was rebuilt). When `entered` is non-zero the caller refreshes the list.
FilterOutcome ApplyTransactionFilter(CSamplingObj& sampling, const SettingsRecord& settings,
                                     velix::platform::InteractionSink& sink, DetailLoader load);

// The application's entry: the bytes come from the sampling data.
inline FilterOutcome ApplyTransactionFilter(CSamplingObj& sampling, const SettingsRecord& settings,
                                            velix::platform::InteractionSink& sink) {
  return ApplyTransactionFilter(sampling, settings, sink, &LoadTransactionDetail);
}

// The address test of the filter: (mask AND address) = value, with the
// record's 10-bit flag equal to the 10-bit mode.
bool FilterAddressMatches(const TransactionInfo& record, const SettingsRecord& settings);

}  // namespace orvane
