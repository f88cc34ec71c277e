#include "Orvane/decode/detail_loader.h"

#include "Orvane/decode/i2c_extract.h"
#include "Orvane/decode/monitor_extract.h"
#include "Orvane/decode/spi_extract.h"

namespace orvane {

void LoadTransactionDetail(CSamplingObj& sampling, const SettingsRecord& settings,
                           const TransactionInfo& record) {
  TransactionDetail& detail = sampling.Detail();
  detail.Free();
  if (settings.ForcedDisplay) return;
  const bool monitor = settings.MonitorMode == 1;
  constexpr uint32_t kAllBytes = 0xFFFFFFFFu;
  switch (settings.m_AnalyzeBusChannel) {
    case 1:
    case 2:
      if (monitor) {
        ExtractMonitorI2CDetail(sampling, record, kAllBytes, &detail);
      } else {
        ExtractI2CAnalyzerDetail(sampling, settings.m_AnalyzeBusChannel, record, kAllBytes, &detail);
      }
      break;
    case 0:
      if (monitor) {
        ExtractMonitorSpiDetail(sampling, record, kAllBytes, &detail);
      } else {
        ExtractSpiAnalyzerDetail(sampling, settings, record, kAllBytes, &detail);
      }
      break;
    default:
      return;
  }
  detail.index = static_cast<int32_t>(record.Index);
}

}  // namespace orvane
