#include "Orvane/decode/export_bytes.h"

#include "Orvane/decode/i2c_extract.h"
#include "Orvane/decode/monitor_extract.h"
#include "Orvane/decode/spi_extract.h"

namespace orvane {

void LoadExportBytes(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record,
                     TransactionDetail* detail, AtomWalker& walker) {
  detail->count = 0;
  detail->bytes.clear();
  detail->bytes2.clear();
  if (settings.ForcedDisplay) return;
  const bool monitor = settings.MonitorMode == 1;
  constexpr uint32_t kAllBytes = 0xFFFFFFFFu;
  switch (settings.m_AnalyzeBusChannel) {
    case 1:
    case 2:
      if (monitor) {
        ExtractMonitorI2CDetail(sampling, record, kAllBytes, detail);
      } else {
        ExtractI2CAnalyzerBytes(walker, sampling, settings.m_AnalyzeBusChannel, record, detail);
      }
      break;
    case 0:
      if (monitor) {
        ExtractMonitorSpiDetail(sampling, record, kAllBytes, detail);
      } else {
        ExtractSpiAnalyzerBytes(walker, sampling, settings, record, detail);
      }
      break;
    default:
      break;
  }
}

}  // namespace orvane
