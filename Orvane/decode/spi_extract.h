#pragma once
// Byte extraction of analyzer SPI records: re-walks a record's atoms and
// returns the bytes of both data lines with the clock offset of each byte's
// first bit. Used by the detail loader for the dump and waveform views.

#include <cstdint>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_detail.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

// Fills detail->count = min(wanted, ceil(BitCount / 8)) bytes: bytes = the
// S3 line, bytes2 = the S2 line, offsets = clock offset of each byte's
// first bit (restarting when SS becomes active). Arrays are sized and
// zero-filled here; the caller sets detail->index.
void ExtractSpiAnalyzerDetail(CSamplingObj& sampling, const SettingsRecord& settings,
                              const TransactionInfo& record, uint32_t wanted_bytes, TransactionDetail* detail);

// Both lines' bytes alone, for the exports: detail->count =
// ceil(BitCount / 8), bytes and bytes2 exactly as above, no offsets. The
// arrays keep their storage between rows.
void ExtractSpiAnalyzerBytes(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record,
                             TransactionDetail* detail);
// The same through a walker of `sampling` that an export reuses row after
// row.
void ExtractSpiAnalyzerBytes(AtomWalker& walker, CSamplingObj& sampling, const SettingsRecord& settings,
                             const TransactionInfo& record, TransactionDetail* detail);

}  // namespace orvane
