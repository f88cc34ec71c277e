#pragma once
// The compliance summary of the listed transactions of a decoded capture:
// traffic per bus address and direction (one row for an SPI bus), the
// remarks by kind, the I2C timing table and the bus speed. Every number
// comes from what the list shows: the records in the view index, their
// flags and Status, and for the timing the verifier's own checks made again
// on each of them. Memory does not grow with the number of records.

#include <array>
#include <cstdint>
#include <vector>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/decode/clock_periods.h"
#include "Orvane/decode/remark_kinds.h"
#include "Orvane/decode/timing_statistics.h"

namespace orvane {

enum class SummaryBus : uint8_t { kSpi, kI2C0, kI2C1 };

// One row of traffic: an I2C address in one direction (7-bit, 10-bit, or
// an HS master code, whose record holds code >> 1 as its address), or the
// whole SPI bus.
struct TrafficRow {
  uint16_t address = 0;
  bool ten_bit = false;
  bool read = false;
  bool master_code = false;
  uint64_t transactions = 0;
  uint64_t data_bytes = 0;  // as the DataLen column counts them: no address bytes
  uint64_t nacks = 0;       // transactions with a NACK
};

struct BusSummary {
  SummaryBus bus = SummaryBus::kSpi;
  bool monitor = false;       // the device decoded the bus: no samples
  uint8_t period_code = 0;    // analyzer: 2, 5 or 10
  uint64_t decoded = 0;       // records of the decode
  uint64_t listed = 0;        // records the list shows
  // I2C: ascending by master code, 10-bit flag, address, write before read.
  std::vector<TrafficRow> traffic;
  // Records showing each remark. `hs` counts HS transfer records whatever
  // their other remarks (the list names the transfer only beside another
  // remark).
  uint64_t trigger = 0;
  uint64_t hs = 0;
  std::array<uint64_t, kStatusRemarkCount> status_remarks{};  // by kStatusRemarks
  // Analyzer I2C only.
  bool timing = false;
  bool hs_present = false;    // an HS transfer is listed: the HS column applies
  TimingColumn fast_standard;
  TimingColumn hs_column;
  // Analyzer only: the periods of SCL (I2C) or SCLK (SPI).
  bool speed = false;
  uint64_t clock_periods = 0;
  MedianPeriod median_period;
};

// Sample clocks in nanoseconds (the period code is 10 ns units per clock).
inline uint64_t ClocksToNs(uint64_t clocks, uint8_t period_code) { return clocks * period_code * 10; }
// The frequency of a period of `clocks`, rounded to whole hertz; 0 for an
// empty period.
inline uint64_t PeriodFrequencyHz(uint64_t clocks, uint8_t period_code) {
  const uint64_t ten_ns = clocks * period_code;
  return ten_ns == 0 ? 0 : (100000000 + ten_ns / 2) / ten_ns;
}

// A remark applies to the bus when the list can show it there.
inline bool RemarkApplies(const RemarkKind& remark, const BusSummary& summary) {
  return !remark.i2c_only || summary.bus != SummaryBus::kSpi;
}

// False when the settings name no bus (forced display mode): the records
// are the waveform pass's, not transactions.
bool SummarizeListedTransactions(CSamplingObj& sampling, const SettingsRecord& settings, BusSummary* summary);

}  // namespace orvane
