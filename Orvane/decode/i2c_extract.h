#pragma once
// Byte extraction of analyzer I2C records: re-walks a record's atoms and
// returns every data byte with its ACK bit and the clock offsets of each
// byte's first bit and of each ACK bit (from the opening condition). Used by
// the detail loader for the dump and waveform views.

#include <cstdint>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/transaction_detail.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

// Fills detail->count = min(wanted, ceil(BitCount / 9)) bytes, the ACK bit
// array (first byte in the most significant bit, 1 = NACK), the byte
// offsets and the ACK offsets; arrays are sized and zero-filled here. The
// caller sets detail->index.
void ExtractI2CAnalyzerDetail(CSamplingObj& sampling, uint8_t bus_channel, const TransactionInfo& record,
                              uint32_t wanted_bytes, TransactionDetail* detail);

// The data bytes alone, for the exports: detail->count = ceil(BitCount / 9)
// and detail->bytes exactly as above; the other arrays are left empty. The
// arrays keep their storage, so one detail reused row after row allocates
// only for the longest record.
void ExtractI2CAnalyzerBytes(CSamplingObj& sampling, uint8_t bus_channel, const TransactionInfo& record,
                             TransactionDetail* detail);
// The same through a walker of `sampling` that an export reuses row after
// row.
void ExtractI2CAnalyzerBytes(AtomWalker& walker, CSamplingObj& sampling, uint8_t bus_channel,
                             const TransactionInfo& record, TransactionDetail* detail);

}  // namespace orvane
