#include "Orvane/capture/app_state.h"

#include "platform/files.h"
#include "platform/trace.h"

namespace orvane {

void LoadAppSettings(const velix::platform::SettingsStore& store, AppState& app) {
  const auto value = [&](const char* key, uint32_t fallback) {
    return store.GetInt("Setting", key, fallback);
  };
  app.sleep = value("Sleep", 0);
  app.no_wait = value("NoWait", 0);
  app.priority = static_cast<int32_t>(value("Priority", 0));
  app.lock_memory = value("LockMemory", 1);
  app.analyzer_bulk_len = value("ANALYZER_BULK_Len", 131072);
  app.monitor_i2c_bulk_len = value("MONITOR_I2C_BULK_Len", 4096);
  app.monitor_spi_bulk_len = value("MONITOR_SPI_BULK_Len", 8192);
  velix::platform::SetDebugMessages(value("DebugMessage", 0) != 0);
}

uint32_t InitTempNames(AppState& app) {
  uint32_t error = 0;
  app.temp_folder = velix::platform::TempFolder(&error);
  if (app.temp_folder.empty()) {
    app.sampling_file_name.clear();
    return error ? error : 2;
  }
  velix::platform::Trace(" Temp Folder : %s\n", app.temp_folder.c_str());
  app.sampling_file_name = app.temp_folder + "test.SIC";
  velix::platform::Trace(" Sampling Data Filename : %s\n", app.sampling_file_name.c_str());
  return 0;
}

}  // namespace orvane
