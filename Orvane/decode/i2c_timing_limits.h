#pragma once
// The I2C timing limits of one column of the settings (FAST/STANDARD or HS)
// and the comparisons every timing check makes with them. The record status
// and the waveform overlays both test through these, so they agree.

#include <cstdint>

#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

// Limits in 10 ns units.
struct I2CTimingLimits {
  uint32_t hd_sta = 0;
  uint32_t su_sta = 0;
  uint32_t su_sto = 0;
  uint32_t buf = 0;
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t hd_dat = 0;  // maximum
  uint32_t su_dat = 0;
};

I2CTimingLimits FastStandardLimits(const SettingsRecord& settings);
// HS transfers have no bus free time of their own: tBUF keeps the
// FAST/STANDARD value.
I2CTimingLimits HsLimits(const SettingsRecord& settings);

inline bool IsHsTransfer(const TransactionInfo& record) { return (record.i2c.I2CFlags & kI2CHsTransfer) != 0; }

// Measured clocks times the sample period code against a limit, unsigned.
inline bool BelowLimit(uint64_t clocks, uint64_t period, uint32_t limit) { return clocks * period < limit; }
inline bool AboveLimit(uint64_t clocks, uint64_t period, uint32_t limit) { return clocks * period > limit; }

}  // namespace orvane
