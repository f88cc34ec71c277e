#include "Orvane/capture/app_state.h"

#include "platform/files.h"
#include "platform/trace.h"

namespace orvane {

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
