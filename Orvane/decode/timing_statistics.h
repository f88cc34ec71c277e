#pragma once
// The I2C timing table of the bus statistics: for each check of the timing
// verification, in each column of limits (FAST/STANDARD and HS), the limit
// in force, the worst value measured, how many records violated it and
// which record measured the worst. It is fed the spans of the verifier's
// own walk, so a record counts as a violation exactly when the verifier set
// the check's Status bit on it.

#include <array>
#include <cstdint>

#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/i2c_timing_spans.h"

namespace orvane {

inline constexpr uint32_t kTimingCheckCount = 8;

// The order the table lists the checks in: clock, conditions, data, bus free.
inline constexpr std::array<TimingCheck, kTimingCheckCount> kTimingTableOrder = {
    TimingCheck::kLow,   TimingCheck::kHigh,  TimingCheck::kSuSta, TimingCheck::kHdSta,
    TimingCheck::kSuDat, TimingCheck::kHdDat, TimingCheck::kSuSto, TimingCheck::kBuf};

// "tLOW", "tHIGH", ...: the names of the settings and of the remarks.
const char* TimingCheckName(TimingCheck check);
// tHD_DAT is a maximum; every other check a minimum.
inline bool IsMaximumCheck(TimingCheck check) { return check == TimingCheck::kHdDat; }

struct TimingParameter {
  uint32_t limit = 0;          // 10 ns units
  uint64_t measured = 0;       // records on which the check was made
  uint64_t violations = 0;     // records on which it failed
  bool worst_found = false;
  uint32_t worst_clocks = 0;   // sample clocks; the first record to reach it wins
  uint32_t worst_index = 0;    // Index of that record
};

struct TimingColumn {
  uint64_t records = 0;  // records judged against this column
  std::array<TimingParameter, kTimingCheckCount> checks{};  // by TimingCheck value

  const TimingParameter& Of(TimingCheck check) const { return checks[static_cast<size_t>(check)]; }
};

class TimingStatistics : public TimingSpanSink {
 public:
  explicit TimingStatistics(const SettingsRecord& settings);

  // The spans between BeginRecord and EndRecord are those of `record`.
  void BeginRecord(const TransactionInfo& record);
  void Span(const TimingSpan& span) override;
  void EndRecord();

  const TimingColumn& FastStandard() const { return columns_[0]; }
  const TimingColumn& Hs() const { return columns_[1]; }

 private:
  struct RecordChecks {
    bool measured = false;
    bool violated = false;
    uint32_t worst = 0;
  };

  std::array<TimingColumn, 2> columns_;
  TimingColumn* column_ = &columns_[0];
  uint32_t index_ = 0;
  std::array<RecordChecks, kTimingCheckCount> record_{};
};

}  // namespace orvane
