#pragma once
// The condition-timing marks of one analyzer I2C record, built from the
// measurements its verification stored: the setup of the repeated START
// that opened it (measured on the previous record), its tHD_STA, its
// tSU_STO and the setup of the repeated START that closes it. Only
// violations are marked; the tests are the verification's own.

#include <cstdint>
#include <string>
#include <vector>

#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/waveform_overlays.h"

namespace orvane {

// Colours, alpha in the top byte.
inline constexpr uint32_t kSuStaMarkColour = 0x4640FFC0;
inline constexpr uint32_t kHdStaMarkColour = 0x32FAFA3C;
inline constexpr uint32_t kSuStoMarkColour = 0x46FF20C0;
inline constexpr uint32_t kHighPhaseMarkColour = 0x46FFFFFF;
inline constexpr uint32_t kLowPhaseMarkColour = 0x46FF8080;
inline constexpr uint32_t kHdDatMarkColour = 0x5020C840;
inline constexpr uint32_t kSuDatMarkColour = 0x50C020C0;

// A clock offset or length as a mark holds it.
inline int32_t MarkClocks(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  return value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

// "NAME:%u.%02u" (or "NAME(HS):...") of clocks x period in microseconds.
std::string TimingLabel(const char* name, bool hs, uint64_t clocks, uint64_t period);

// The records around `record` as far as the marks need them; either may be
// null. `previous_timing` is the previous record's TimingInfo.
struct TimingNeighbours {
  const TimingInfo* previous_timing = nullptr;
  const TransactionInfo* next = nullptr;
};

std::vector<TimingMark> BuildTimingMarks(const SettingsRecord& settings, const TransactionInfo& record,
                                         const TimingInfo& timing, const TimingNeighbours& neighbours);

}  // namespace orvane
