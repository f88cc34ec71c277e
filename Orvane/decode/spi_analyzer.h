#pragma once
// The SPI decoder of bus analyzer mode: cuts the sampled stream into
// transactions by SS, by an SCLK time-out or by a fixed data length, counts
// the sampled bits and previews the bytes of both data lines (S3 in
// Preview, S2 in Preview2).

#include <cstdint>

#include "Orvane/decode/decode_context.h"

namespace orvane {

// The decode run; returns its last result (16, 256, 272 or an error).
uint32_t RunSpiAnalyzerDecode(DecodeContext& ctx);

// The same decode reading short atoms eight at a time with portable word
// arithmetic, as builds for architectures without SSE2 do; callable
// everywhere so that both readers stay tested.
uint32_t RunSpiAnalyzerDecodeWordLanes(DecodeContext& ctx);

}  // namespace orvane
