#include "sim/scenario.h"

namespace velix::sim {

I2cTiming TimingForSclFrequency(uint64_t hz) {
  const uint64_t period = (kTenNsPerSecond + hz / 2) / hz;
  I2cTiming timing;
  const auto low = static_cast<uint32_t>((period * 6 + 5) / 10);
  timing.tLOW = low;
  timing.tHIGH = static_cast<uint32_t>(period) - low;
  if (timing.tHIGH == 0) timing.tHIGH = 1;
  timing.tHD_STA = low;
  timing.tSU_STA = low;
  timing.tSU_STO = low;
  timing.tBUF = low;
  timing.tHD_DAT = low / 4;
  timing.tSU_DAT = 1;
  return timing;
}

}  // namespace velix::sim
