// VELIXModeChange: switches the analyzer between its analyzer and monitor
// personalities.
#include "ModeChange/mode_change_app.h"
#include "ModeChange/velix_fw_access.h"

int main(int argc, char** argv) {
  velix::modechange::VelixFwAccess firmware;
  return velix::modechange::RunModeChange(argc, argv, firmware);
}
