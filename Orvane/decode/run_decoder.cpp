#include "Orvane/decode/run_decoder.h"

#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/monitor_i2c.h"
#include "Orvane/decode/monitor_spi.h"
#include "Orvane/decode/spi_analyzer.h"
#include "Orvane/decode/waveform_pass.h"

namespace orvane {

uint32_t RunDecoder(DecodeContext& ctx, WorkerKind kind) {
  const bool monitor = ctx.settings.MonitorMode == 1;
  switch (kind) {
    case WorkerKind::kWaveform: return RunWaveformPass(ctx);
    case WorkerKind::kI2C: return monitor ? RunMonitorI2CDecode(ctx) : RunI2CAnalyzerDecode(ctx);
    case WorkerKind::kSpi: return monitor ? RunMonitorSpiDecode(ctx) : RunSpiAnalyzerDecode(ctx);
    case WorkerKind::kNone: break;
  }
  return kResultDataEnd;
}

}  // namespace orvane
