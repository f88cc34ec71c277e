#include "Orvane/decode/bus_statistics.h"

#include <map>
#include <optional>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/decode/cell_texts.h"
#include "Orvane/decode/i2c_timing.h"
#include "Orvane/decode/linked_records.h"
#include "Orvane/decode/signal_cursor.h"

namespace orvane {

namespace {

// SPI lines are used unmapped: bit 1 is SCLK.
constexpr uint8_t kSpiClockLine = 0x02;

// Sorts the rows as BusSummary::traffic says; bounded by 2^13 keys.
uint32_t TrafficKey(const TransactionInfo& record) {
  const uint16_t flags = record.i2c.I2CFlags;
  return ((flags & kI2CHsMasterCode) ? 1u << 12 : 0u) | ((flags & kI2C10Bit) ? 1u << 11 : 0u) |
         (record.i2c.I2CAddress & 0x3FFu) << 1 | ((flags & kI2CRead) ? 1u : 0u);
}

TrafficRow RowOf(uint32_t key) {
  TrafficRow row;
  row.master_code = (key >> 12) & 1;
  row.ten_bit = (key >> 11) & 1;
  row.address = static_cast<uint16_t>((key >> 1) & 0x3FF);
  row.read = key & 1;
  return row;
}

class Summarizer {
 public:
  Summarizer(CSamplingObj& sampling, const SettingsRecord& settings, BusSummary* summary)
      : sampling_(sampling),
        mode_(TextModeOf(settings)),
        summary_(*summary),
        walker_(sampling),
        timing_(settings),
        mapping_(LineMappingFor(settings)),
        data_end_(sampling.m_lenSamplingDataInBuffer.load()) {
    if (summary_.timing) verifier_.emplace(walker_, sampling.Records(), settings, data_end_);
  }

  void Run() {
    TransactionStore& store = sampling_.Records();
    for (RecordRef ref = store.Head(); ref != kNoRecord;) {
      const TransactionInfo& record = store.At(ref);
      const TransactionInfo* next = LinkedRecord(store, record.Next);
      ++summary_.decoded;
      if (record.RecordFlags & kRecordInView) {
        Count(record);
        Measure(record, next);
      } else if (verifier_ && next != nullptr && (next->RecordFlags & kRecordInView) &&
                 (next->bStartEndType & kBeganRepeatedStart) && (record.bStartEndType & kEndedRepeatedStart)) {
        // The setup of the listed record's repeated START lies on this one.
        verifier_->Remeasure(record, nullptr);
      }
      ref = record.Next;
    }
    walker_.Release();
    Finish();
  }

 private:
  void Count(const TransactionInfo& record) {
    ++summary_.listed;
    TrafficRow& counted = summary_.bus == SummaryBus::kSpi ? spi_row_ : I2CRow(record);
    ++counted.transactions;
    counted.data_bytes += DataLength(record, mode_);
    if (mode_.i2c && (record.i2c.I2CFlags & kI2CNack)) ++counted.nacks;

    if (record.RecordFlags & kRecordTrigger) ++summary_.trigger;
    if (mode_.i2c && (record.i2c.I2CFlags & kI2CHsTransfer)) ++summary_.hs;
    for (uint32_t i = 0; i < kStatusRemarkCount; ++i) {
      const RemarkKind& remark = kStatusRemarks[i];
      if ((record.Status & remark.status_bit) && RemarkApplies(remark, summary_)) ++summary_.status_remarks[i];
    }
  }

  TrafficRow& I2CRow(const TransactionInfo& record) {
    const uint32_t key = TrafficKey(record);
    return i2c_rows_.try_emplace(key, RowOf(key)).first->second;
  }

  void Measure(const TransactionInfo& record, const TransactionInfo* next) {
    if (verifier_) {
      timing_.BeginRecord(record);
      verifier_->Remeasure(record, &timing_);
      timing_.EndRecord();
    }
    if (summary_.speed) {
      AddClockPeriods(walker_, mapping_, mode_.i2c ? kSclLine : kSpiClockLine, record, data_end_,
                      next != nullptr ? next->SamplePos : kNoPositionLimit, &periods_);
    }
  }

  void Finish() {
    if (summary_.bus == SummaryBus::kSpi) {
      if (spi_row_.transactions != 0) summary_.traffic.push_back(spi_row_);
    } else {
      for (const auto& [key, row] : i2c_rows_) summary_.traffic.push_back(row);
    }
    summary_.hs_present = summary_.hs != 0;
    summary_.fast_standard = timing_.FastStandard();
    summary_.hs_column = timing_.Hs();
    summary_.clock_periods = periods_.Count();
    summary_.median_period = periods_.LowerMedian();
  }

  CSamplingObj& sampling_;
  const RecordTextMode mode_;
  BusSummary& summary_;
  AtomWalker walker_;
  TimingStatistics timing_;
  std::optional<I2CTimingVerifier> verifier_;
  const LineMapping mapping_;
  const uint32_t data_end_;
  PeriodHistogram periods_;
  TrafficRow spi_row_;
  std::map<uint32_t, TrafficRow> i2c_rows_;
};

}  // namespace

bool SummarizeListedTransactions(CSamplingObj& sampling, const SettingsRecord& settings, BusSummary* summary) {
  const RecordTextMode mode = TextModeOf(settings);
  if (!mode.i2c && !mode.spi) return false;
  *summary = {};
  const uint8_t channel = settings.m_AnalyzeBusChannel & 3;
  summary->bus = channel == 1 ? SummaryBus::kI2C0 : channel == 2 ? SummaryBus::kI2C1 : SummaryBus::kSpi;
  summary->monitor = mode.monitor;
  summary->period_code = mode.monitor ? 0 : settings.SamplePeriodCode;
  summary->timing = mode.i2c && !mode.monitor;
  summary->speed = !mode.monitor;
  Summarizer(sampling, settings, summary).Run();
  return true;
}

}  // namespace orvane
