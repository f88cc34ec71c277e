#include "Orvane/decode/timing_marks.h"

#include <cinttypes>
#include <cstdio>

#include "Orvane/decode/i2c_timing_limits.h"

namespace orvane {

std::string TimingLabel(const char* name, bool hs, uint64_t clocks, uint64_t period) {
  const uint64_t v = clocks * period;
  char text[64];
  std::snprintf(text, sizeof text, "%s%s:%" PRIu64 ".%02u", name, hs ? "(HS)" : "", v / 100,
                static_cast<unsigned>(v % 100));
  return text;
}

std::vector<TimingMark> BuildTimingMarks(const SettingsRecord& settings, const TransactionInfo& record,
                                         const TimingInfo& timing, const TimingNeighbours& neighbours) {
  const uint64_t period = settings.SamplePeriodCode;
  const bool hs = IsHsTransfer(record);
  const I2CTimingLimits limits = hs ? HsLimits(settings) : FastStandardLimits(settings);
  std::vector<TimingMark> marks;
  // A zero measurement is one that could not be made.
  auto add = [&](uint32_t clocks, uint32_t limit, int64_t start, uint32_t colour, const char* name, bool hs_label) {
    if (clocks == 0 || !BelowLimit(clocks, period, limit)) return;
    marks.push_back({MarkClocks(start), MarkClocks(clocks), colour,
                     TimingLabel(name, hs_label, clocks, period)});
  };
  if (neighbours.previous_timing != nullptr) {
    add(neighbours.previous_timing->tSU_STA, limits.su_sta, -int64_t(record.old_SignalClock), kSuStaMarkColour,
        "tSU_STA", hs);
  }
  add(timing.tHD_STA, limits.hd_sta, timing.tHD_STA_start, kHdStaMarkColour, "tHD_STA", hs);
  add(timing.tSU_STO, limits.su_sto, timing.tSU_STO_at, kSuStoMarkColour, "tSU_STO", hs);
  // The closing setup belongs to the repeated START that opens the next
  // record, so the next record's column applies.
  const bool next_hs = neighbours.next != nullptr && IsHsTransfer(*neighbours.next);
  const I2CTimingLimits next_limits = next_hs ? HsLimits(settings) : FastStandardLimits(settings);
  add(timing.tSU_STA, next_limits.su_sta, timing.tSU_STA_at, kSuStaMarkColour, "tSU_STA", next_hs);
  return marks;
}

}  // namespace orvane
