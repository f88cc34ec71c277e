#pragma once
// What the main window does when the analysis worker has ended: carry the
// trigger conditions into the search defaults, report an error result, and
// after an offline run fill the view index through the filter (or say that
// nothing was found). The live-capture end (save, release, reopen) belongs
// to the capture and is reported back to the caller.

#include <cstdint>

#include "Orvane/capture/document_frame.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/decode/transaction_filter.h"
#include "Orvane/decode/transaction_search.h"
#include "platform/interaction.h"

namespace orvane {

struct RunEndOutcome {
  bool error = false;                 // the result was an error (message shown)
  bool no_valid_transaction = false;  // an offline run produced no record
  bool live_end = false;              // a live run: the capture's end handling follows
  FilterOutcome filter;
};

RunEndOutcome HandleRunEnd(COrvaneDoc& doc, bool live_run, uint32_t result,
                           velix::platform::InteractionSink& sink, SearchMemory& search,
                           DocumentFrame* frame);

// The search defaults a run with the software trigger leaves behind.
void CarryTriggerIntoSearch(const SettingsRecord& settings, SearchMemory& search);

}  // namespace orvane
