#pragma once
// Which parts of the "I2C Settings" dialog the user may change: the timing
// limits only for data the analyzer sampled (no document, or an analyzer
// capture), and the HS-MODE column only while "enable HS-MODE" is checked.

namespace orvane {

struct I2CSettingEnables {
  bool timing = false;     // FAST/STANDARD column, row labels, its presets, the warning
  bool hs_column = false;  // HS column, its heading, its units and both HS presets
};

I2CSettingEnables I2CControlEnables(bool timing_fields_enabled, bool hs_enable);

}  // namespace orvane
