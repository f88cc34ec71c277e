#pragma once
// The remarks a record can carry, in the order the list and the exports
// name them: the status bits with their texts, and the stable short names
// that machine-readable output uses for them. The texts of the list, the
// reports and the bus statistics all come from this one table.

#include <cstdint>

#include "Orvane/capture/transaction_info.h"

namespace orvane {

struct StatusRemark {
  uint16_t bit;
  const char* text;
  const char* name;
  bool i2c_only;  // the timing remarks exist only on an I2C bus
};

inline constexpr StatusRemark kStatusRemarks[] = {
    {kStatusNoChange, " (No change signal.)", "no_change", false},
    {kStatusBadData, "** BAD SAMPING DATA!! ***", "bad_sampling", false},
    {kStatusNotEnd, "Transaction not end", "not_ended", false},
    {kStatusBitCount, "DATA BIT count NG", "bit_count", false},
    {kStatusBuf, "[tBUF] NG", "tBUF", true},
    {kStatusHdSta, "[tHD_STA] NG", "tHD_STA", true},
    {kStatusSuSto, "[tSU_STO] NG", "tSU_STO", true},
    {kStatusSuSta, "[tSU_STA] NG", "tSU_STA", true},
    {kStatusLow, "[tLOW] NG", "tLOW", true},
    {kStatusHigh, "[tHIGH] NG", "tHIGH", true},
    {kStatusSuDat, "[tSU_DAT] NG", "tSU_DAT", true},
    {kStatusHdDat, "[tHD_DAT] NG", "tHD_DAT", true},
};
inline constexpr uint32_t kStatusRemarkCount = sizeof kStatusRemarks / sizeof kStatusRemarks[0];

// The remarks that do not come from Status.
inline constexpr const char* kTriggerRemarkText = "TRIGGER!";
inline constexpr const char* kTriggerRemarkName = "trigger";
inline constexpr const char* kHsRemarkText = "<HS XFER>";
inline constexpr const char* kHsRemarkName = "hs";

}  // namespace orvane
