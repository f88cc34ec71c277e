#pragma once
// "--set FIELD=VALUE": changes one field of the settings record, reading
// the value the way the settings dialogs read their fields.

#include <string>

#include "Orvane/capture/settings_record.h"

namespace orvane::cli {

// Numbers: C-style prefixes as in the dialogs; byte arrays: hexadecimal
// byte tokens. False with a message for an unknown field, a malformed
// assignment or a number that does not parse; `warning` is set when the
// value does not fit the field.
bool ApplySettingOverride(const std::string& assignment, SettingsRecord* settings,
                          std::string* error, std::string* warning);

}  // namespace orvane::cli
