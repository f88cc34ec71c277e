#pragma once
// The bus speed of a capture: every period of the bus clock (one rising
// edge to the next inside one record) counted by its length in sample
// clocks. The count is exact for periods below kExactPeriodClocks and its
// memory is fixed, however many records are walked; the median of the
// counted periods is the speed estimate.

#include <cstdint>
#include <memory>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/line_mapping.h"

namespace orvane {

// 65,536 clocks: 763 Hz at 50 MHz, 153 Hz at 10 MHz; slower clocks are
// counted, but only as "longer".
inline constexpr uint32_t kExactPeriodClocks = 1u << 16;

struct MedianPeriod {
  bool found = false;        // at least one period counted
  bool beyond_range = false; // the median is kExactPeriodClocks or longer
  uint32_t clocks = 0;       // the lower median (valid when found and in range)
};

class PeriodHistogram {
 public:
  void Add(uint64_t clocks);
  uint64_t Count() const { return total_; }
  // The lower median: with n periods, the one at rank (n - 1) / 2 in
  // ascending order, so it is always a measured length.
  MedianPeriod LowerMedian() const;

 private:
  std::unique_ptr<uint64_t[]> counts_;  // kExactPeriodClocks entries, made at the first Add
  uint64_t longer_ = 0;
  uint64_t total_ = 0;
};

// Adds the rising-edge-to-rising-edge periods of `clock_line` (a bit of the
// mapped state) between offset 0 and the record's Duration. Reads no atom
// past `last_position` (the next record's SamplePos) nor past `data_end`.
void AddClockPeriods(AtomWalker& walker, LineMapping mapping, uint8_t clock_line, const TransactionInfo& record,
                     uint32_t data_end, uint32_t last_position, PeriodHistogram* periods);

}  // namespace orvane
