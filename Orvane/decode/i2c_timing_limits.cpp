#include "Orvane/decode/i2c_timing_limits.h"

namespace orvane {

I2CTimingLimits FastStandardLimits(const SettingsRecord& s) {
  return {s.tHD_STA, s.tSU_STA, s.tSU_STO, s.tBUF, s.tLOW, s.tHIGH, s.tHD_DAT, s.tSU_DAT};
}

I2CTimingLimits HsLimits(const SettingsRecord& s) {
  return {s.tHD_STA_HS, s.tSU_STA_HS, s.tSU_STO_HS, s.tBUF,
          s.tLOW_HS,    s.tHIGH_HS,   s.tHD_DAT_HS, s.tSU_DAT_HS};
}

}  // namespace orvane
