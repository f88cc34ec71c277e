#pragma once
// Application-wide values that the capture core shares with the front ends:
// the settings record, the capture size, the run flags, the temporary
// folder and file names, and the language. One instance per process; the
// front end owns it and hands it to the document.

#include <atomic>
#include <cstdint>
#include <string>

#include "Orvane/capture/settings_record.h"
#include "platform/settings_store.h"

namespace orvane {

struct AppState {
  SettingsRecord settings = DefaultSettingsRecord();
  uint32_t capture_size_mb = 0;  // kept beside the record, never saved in files

  // Read by the command enable rules and by the worker.
  std::atomic<bool> live_capture{false};
  std::atomic<bool> analysis_running{false};
  std::atomic<bool> view_update_paused{false};
  std::atomic<bool> data_loaded{false};

  std::string temp_folder;          // always ends in "/" (empty when none)
  std::string sampling_file_name;   // temp_folder + "test.SIC"
  std::string temp_copy_name;       // copy of an opened file, deleted later
  bool japanese = false;

  // Tuning values of the "Setting" section.
  uint32_t sleep = 0;
  uint32_t no_wait = 0;
  int32_t priority = 0;
  uint32_t lock_memory = 1;
  uint32_t analyzer_bulk_len = 131072;
  uint32_t monitor_i2c_bulk_len = 4096;
  uint32_t monitor_spi_bulk_len = 8192;
};

// Reads the tuning values of the "Setting" section (missing values keep
// their defaults) and switches the "DebugMessage" trace lines accordingly.
void LoadAppSettings(const velix::platform::SettingsStore& store, AppState& app);

// Fills the temporary folder and the sampling data file name; returns the
// system error code when no temporary folder exists (0 otherwise).
uint32_t InitTempNames(AppState& app);

}  // namespace orvane
