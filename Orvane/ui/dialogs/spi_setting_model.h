#pragma once
// The "SPI Settings" dialog's enabling rules: the SS polarity only while SS
// is monitored, the time-out field only while the time-out is on, and the
// check box for ignoring the first clock edge, a setting for special
// targets, only when it is on already or asked for by double-clicks.

#include "Orvane/decode/dialog_values.h"

namespace orvane {

struct SpiSettingEnables {
  bool ss_polarity = false;    // "SS Active LOW" and "SS Active HIGH"
  bool timeout_field = false;  // the millisecond field and its unit
};

SpiSettingEnables SpiControlEnables(const SpiSettingsFields& fields);

// Double-clicks on the dialog's background beyond which the check box shows.
inline constexpr int kIgnoreFirstEdgeClicks = 4;

bool IgnoreFirstEdgeShown(bool on_at_opening, int background_double_clicks);

}  // namespace orvane
