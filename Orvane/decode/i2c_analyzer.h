#pragma once
// The I2C decoder of bus analyzer mode: walks the sample atoms of one I2C
// bus, finds START, repeated START and STOP conditions and the clocked bits,
// and makes one TransactionInfo per transaction. Offline the records go to
// the heap store and each is timing-verified; live they come from the pool
// and are appended to the live view ring.

#include <cstdint>

#include "Orvane/decode/decode_context.h"

namespace orvane {

// The decode run: view reset, start message, decode steps with their
// post-processing until a terminal result, which it returns (16, 256 or
// 272 for a normal end, or an error result).
uint32_t RunI2CAnalyzerDecode(DecodeContext& ctx);

}  // namespace orvane
