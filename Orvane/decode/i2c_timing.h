#pragma once
// Timing verification of analyzer I2C records: measures START, repeated
// START, STOP, clock and data timing from the raw atoms and sets one Status
// bit per violated limit. Runs only for offline analyzer I2C decoding.

#include <cstdint>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_store.h"
#include "Orvane/decode/i2c_timing_limits.h"
#include "Orvane/decode/i2c_timing_track.h"
#include "Orvane/decode/i2c_timing_walk.h"
#include "Orvane/decode/line_mapping.h"

namespace orvane {

class I2CTimingVerifier {
 public:
  // `walker` is the decoder's own reader; `data_end` = bytes of valid data.
  I2CTimingVerifier(AtomWalker& walker, TransactionStore& store, const SettingsRecord& settings,
                    uint32_t data_end);

  // Gives the record its TimingInfo and sets its timing Status bits. Records
  // are verified in decode order. False when the TimingInfo cannot be
  // allocated.
  // Walks the record's atoms for its measurements.
  bool Verify(RecordRef ref);
  // Judges what the decoder measured while it read the record's atoms.
  bool Apply(RecordRef ref, const I2CMeasuredTiming& measured);

  // Makes the checks of Verify again on a verified record, handing every
  // outcome to `sink` (when given) and changing nothing in the store.
  // Records come in decode order as for Verify; a record may be left out
  // unless the next one handed in begins with the repeated START it ended
  // with, whose setup is measured on it.
  void Remeasure(const TransactionInfo& record, TimingSpanSink* sink);

 private:
  // Attaches the record's TimingInfo, makes the checks with `measure` for
  // the record's own phases and sets the Status bits.
  template <typename Measure>
  bool CheckStored(RecordRef ref, Measure measure);
  // The checks of one record: the conditions against the previous record,
  // then `measure`; returns the timing Status bits.
  template <typename Report, typename Measure>
  uint16_t Check(const TransactionInfo& record, TimingInfo& timing, Report& report, Measure measure);
  uint32_t LastPosition(const TransactionInfo& record) const;
  bool Below(uint64_t clocks, uint32_t limit) const { return BelowLimit(clocks, walk_.Period(), limit); }

  TransactionStore& store_;
  I2CTimingWalk walk_;
  const I2CTimingLimits fast_standard_;
  const I2CTimingLimits hs_;
  // The setup of the repeated START that ended the last verified record,
  // tested on the record that begins with it.
  bool su_sta_measured_ = false;
  uint32_t su_sta_index_ = 0;
  uint32_t su_sta_clocks_ = 0;
};

}  // namespace orvane
