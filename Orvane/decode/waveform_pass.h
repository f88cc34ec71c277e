#pragma once
// The waveform-only pass of forced display mode: no protocol is decoded;
// the sample stream is cut into consecutive windows of about the configured
// time, one TransactionInfo per window, so the list and the waveform view
// work on raw signals.

#include <cstdint>

#include "Orvane/decode/decode_context.h"

namespace orvane {

// The pass; returns its last result (16, 256, 272 or an error).
uint32_t RunWaveformPass(DecodeContext& ctx);

}  // namespace orvane
