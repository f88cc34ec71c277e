#pragma once
// The payload bytes of one record as the exports write them: the same bytes
// the detail loader gives the dump view, without the clock offsets and ACK
// arrays the exports never show, into a detail the export reuses row after
// row (no allocation once it has grown to the longest record), read through
// one atom walker for all rows (no new window or lock per row).

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_detail.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

// Fills count and bytes (and, for SPI, bytes2) of `detail` like
// LoadTransactionDetail; an empty detail under forced display or an unknown
// bus channel. Analyzer captures are read through `walker` (of `sampling`),
// which the export keeps for all its rows.
void LoadExportBytes(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record,
                     TransactionDetail* detail, AtomWalker& walker);

}  // namespace orvane
