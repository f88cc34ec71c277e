#pragma once
// "--set FIELD=VALUE": changes one field of the settings record, reading
// the value the way the settings dialogs read their fields.

#include <string>

#include "Orvane/capture/settings_record.h"

namespace orvane::cli {

// Numbers: C-style prefixes, an unparsable value reads as all ones (as in
// the dialogs); byte arrays: hexadecimal byte tokens. False with a message
// for an unknown field or a malformed assignment; `warning` is set when the
// value was unparsable or does not fit the field.
bool ApplySettingOverride(const std::string& assignment, SettingsRecord* settings,
                          std::string* error, std::string* warning);

}  // namespace orvane::cli
