#pragma once
// The remarks a record can carry, in the order the list and the exports
// name them, with the stable short names that machine-readable output uses
// for them. The texts of the list, the reports, the JSON Lines export and
// the bus statistics all come from this one table.

#include <cstdint>

#include "Orvane/capture/transaction_info.h"

namespace orvane {

struct RemarkKind {
  const char* name;
  const char* text;
  uint16_t status_bit;  // 0 for the remarks that do not come from Status
  bool i2c_only;        // the HS and timing remarks exist only on an I2C bus
};

inline constexpr RemarkKind kTriggerRemark = {"trigger", "TRIGGER!", 0, false};  // RecordFlags kRecordTrigger
inline constexpr RemarkKind kHsRemark = {"hs", "<HS XFER>", 0, true};            // I2CFlags kI2CHsTransfer

inline constexpr RemarkKind kStatusRemarks[] = {
    {"no_change", " (No change signal.)", kStatusNoChange, false},
    {"bad_sampling", "** BAD SAMPING DATA!! ***", kStatusBadData, false},
    {"not_ended", "Transaction not end", kStatusNotEnd, false},
    {"bit_count", "DATA BIT count NG", kStatusBitCount, false},
    {"tBUF", "[tBUF] NG", kStatusBuf, true},
    {"tHD_STA", "[tHD_STA] NG", kStatusHdSta, true},
    {"tSU_STO", "[tSU_STO] NG", kStatusSuSto, true},
    {"tSU_STA", "[tSU_STA] NG", kStatusSuSta, true},
    {"tLOW", "[tLOW] NG", kStatusLow, true},
    {"tHIGH", "[tHIGH] NG", kStatusHigh, true},
    {"tSU_DAT", "[tSU_DAT] NG", kStatusSuDat, true},
    {"tHD_DAT", "[tHD_DAT] NG", kStatusHdDat, true},
};
inline constexpr uint32_t kStatusRemarkCount = sizeof kStatusRemarks / sizeof kStatusRemarks[0];

}  // namespace orvane
