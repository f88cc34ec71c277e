#pragma once
// Runs the decoder that the worker kind and the capture mode call for.

#include <cstdint>

#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/decode_context.h"

namespace orvane {

uint32_t RunDecoder(DecodeContext& ctx, WorkerKind kind);

}  // namespace orvane
