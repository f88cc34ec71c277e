#include "Orvane/decode/waveform_overlays.h"

namespace orvane {

void BuildTransactionOverlays(CSamplingObj&, const SettingsRecord&, const TransactionInfo&,
                              WaveformOverlays* out) {
  *out = WaveformOverlays{};
}

void BuildErrorTimingOverlays(CSamplingObj&, const SettingsRecord&, const TransactionInfo&,
                              WaveformOverlays* out) {
  out->clock.clear();
  out->data.clear();
}

}  // namespace orvane
