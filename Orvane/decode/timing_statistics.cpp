#include "Orvane/decode/timing_statistics.h"

#include "Orvane/decode/i2c_timing_limits.h"

namespace orvane {

namespace {

uint32_t LimitOf(const I2CTimingLimits& limits, TimingCheck check) {
  switch (check) {
    case TimingCheck::kBuf: return limits.buf;
    case TimingCheck::kHdSta: return limits.hd_sta;
    case TimingCheck::kSuSto: return limits.su_sto;
    case TimingCheck::kSuSta: return limits.su_sta;
    case TimingCheck::kLow: return limits.low;
    case TimingCheck::kHigh: return limits.high;
    case TimingCheck::kHdDat: return limits.hd_dat;
    case TimingCheck::kSuDat: return limits.su_dat;
  }
  return 0;
}

bool Worse(TimingCheck check, uint32_t clocks, uint32_t than) {
  return IsMaximumCheck(check) ? clocks > than : clocks < than;
}

}  // namespace

const char* TimingCheckName(TimingCheck check) {
  switch (check) {
    case TimingCheck::kBuf: return "tBUF";
    case TimingCheck::kHdSta: return "tHD_STA";
    case TimingCheck::kSuSto: return "tSU_STO";
    case TimingCheck::kSuSta: return "tSU_STA";
    case TimingCheck::kLow: return "tLOW";
    case TimingCheck::kHigh: return "tHIGH";
    case TimingCheck::kHdDat: return "tHD_DAT";
    case TimingCheck::kSuDat: return "tSU_DAT";
  }
  return "";
}

TimingStatistics::TimingStatistics(const SettingsRecord& settings) {
  const I2CTimingLimits limits[2] = {FastStandardLimits(settings), HsLimits(settings)};
  for (size_t column = 0; column < columns_.size(); ++column) {
    for (const TimingCheck check : kTimingTableOrder) {
      columns_[column].checks[static_cast<size_t>(check)].limit = LimitOf(limits[column], check);
    }
  }
}

void TimingStatistics::BeginRecord(const TransactionInfo& record) {
  // The column the verifier judged the record by.
  column_ = &columns_[IsHsTransfer(record) ? 1 : 0];
  index_ = record.Index;
  record_ = {};
}

void TimingStatistics::Span(const TimingSpan& span) {
  RecordChecks& checks = record_[static_cast<size_t>(span.check)];
  if (!checks.measured || Worse(span.check, span.clocks, checks.worst)) checks.worst = span.clocks;
  checks.measured = true;
  checks.violated = checks.violated || span.violation;
}

void TimingStatistics::EndRecord() {
  ++column_->records;
  for (size_t i = 0; i < kTimingCheckCount; ++i) {
    const RecordChecks& checks = record_[i];
    if (!checks.measured) continue;
    TimingParameter& parameter = column_->checks[i];
    const TimingCheck check = static_cast<TimingCheck>(i);
    ++parameter.measured;
    if (checks.violated) ++parameter.violations;
    if (!parameter.worst_found || Worse(check, checks.worst, parameter.worst_clocks)) {
      parameter.worst_found = true;
      parameter.worst_clocks = checks.worst;
      parameter.worst_index = index_;
    }
  }
}

}  // namespace orvane
