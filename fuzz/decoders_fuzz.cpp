// Random sampling data decoded with random settings: every decoder, the
// timing verification, the filter, the detail extraction and the exports
// must end cleanly whatever the bytes say. The input is a settings record
// (466 bytes, repaired as on load) followed by the sampling data; shorter
// inputs use the default record with a few settings taken from the bytes.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/sic_header.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/decode_context.h"
#include "Orvane/decode/detail_loader.h"
#include "Orvane/decode/export_csv.h"
#include "Orvane/decode/export_text.h"
#include "Orvane/decode/run_decoder.h"
#include "Orvane/decode/transaction_filter.h"
#include "Orvane/decode/transaction_search.h"
#include "platform/interaction.h"

namespace {

orvane::SettingsRecord SettingsFrom(const uint8_t*& data, size_t& size) {
  orvane::SettingsRecord settings = orvane::DefaultSettingsRecord();
  if (size >= orvane::kSettingsRecordSize + 1 && (data[0] & 1)) {
    std::memcpy(&settings, data + 1, orvane::kSettingsRecordSize);
    data += orvane::kSettingsRecordSize + 1;
    size -= orvane::kSettingsRecordSize + 1;
  } else if (size >= 4) {
    settings.m_AnalyzeBusChannel = data[0] & 3;
    settings.MonitorMode = (data[1] >> 1) & 1;
    settings.ForcedDisplay = (data[1] & 0x30) == 0x30;
    static constexpr uint8_t kCodes[4] = {2, 5, 10, 2};
    settings.SamplePeriodCode = kCodes[data[2] & 3];
    settings.SpiSsMode = (data[2] >> 2) % 3;
    settings.SpiSamplingEdge = 1 + ((data[2] >> 4) & 1);
    settings.SpiBitFlags = data[3] & 0x81;
    settings.SpiDataLength = 4u + (data[3] >> 1);
    settings.HsEnable = (data[1] >> 2) & 1;
    settings.IgnoreNackBeforeStop = (data[1] >> 3) & 1;
    settings.TriggerEnable = data[1] >> 7;
    settings.DataPatternEnable = 1;
    settings.DataLength = 1 + (data[0] >> 5);
    settings.FilterEnable = (data[1] >> 6) & 1;
    data += 4;
    size -= 4;
  }
  orvane::RepairLoadedSettings(settings);
  return settings;
}

std::string WriteMemoryFile(const orvane::SettingsRecord& settings, const uint8_t* data,
                            size_t size, int* fd) {
  *fd = memfd_create("capture", MFD_CLOEXEC);
  if (*fd < 0) return {};
  const orvane::SicHeader header = orvane::BuildSicHeader(settings);
  if (write(*fd, header.data(), header.size()) != static_cast<ssize_t>(header.size())) return {};
  if (size != 0 && write(*fd, data, size) != static_cast<ssize_t>(size)) return {};
  return "/proc/self/fd/" + std::to_string(*fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orvane::SettingsRecord settings = SettingsFrom(data, size);
  int fd = -1;
  const std::string path = WriteMemoryFile(settings, data, size, &fd);
  if (!path.empty()) {
    orvane::AppState app;
    app.settings = settings;
    velix::platform::NullSink sink;
    orvane::CSamplingObj sampling(app, sink);
    if (sampling.OpenCreateFileMapView(path) == 0) {
      orvane::RunEventQueue events;
      orvane::DecodeContext ctx{sampling, settings, events};
      const uint32_t result = orvane::RunDecoder(ctx, orvane::ChooseWorker(settings));
      (void)result;
      orvane::ApplyTransactionFilter(sampling, settings, sink);
      orvane::SearchEnv search_env = orvane::ApplicationSearchEnv(sampling, settings, sink);
      orvane::SearchMemory memory;
      memory.data_length = 1;
      orvane::RunSearch(search_env, memory, orvane::SearchKind::kData,
                        orvane::SearchDirection::kForward, std::nullopt);
      orvane::RunSearch(search_env, memory, orvane::SearchKind::kNack,
                        orvane::SearchDirection::kForward, std::nullopt);
      if (!settings.ForcedDisplay) {
        const int null_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
        orvane::ExportEnv env = orvane::ApplicationExportEnv(sampling, settings, sink, 0);
        orvane::ExportTransactionText(env, null_fd, false);
        orvane::ExportTransactionCsv(env, null_fd);
        close(null_fd);
      }
    }
  }
  if (fd >= 0) close(fd);
  return 0;
}
