#pragma once
// The I2C decoder of monitor mode: turns the device's I2C units into
// transaction records, fills their previews, tests the software trigger and,
// live, shows them in the view ring.

#include <cstdint>

#include "Orvane/decode/decode_context.h"

namespace orvane {

// One decode run over the sampling data (offline) or the running capture
// (live). Returns the run's result code: 256 or 272 at a normal end, else
// the error result.
uint32_t RunMonitorI2CDecode(DecodeContext& ctx);

}  // namespace orvane
