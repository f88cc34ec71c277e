#pragma once
// Our own VCD exports carry the capture's settings record in a comment,
//   $comment orvane-settings <932 hexadecimal digits> $end
// so importing the export restores the capture exactly. Other readers skip
// comments; a comment of another form is not ours and is ignored.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Orvane/capture/settings_record.h"

namespace velix::interchange {

inline constexpr std::string_view kSettingsCommentTag = "orvane-settings";

// The hexadecimal digits of a record.
std::string SettingsHex(const orvane::SettingsRecord& settings);
// The record bytes of the digits; nothing unless they are exactly a record.
std::optional<std::vector<uint8_t>> SettingsBytesOfHex(std::string_view hex);

}  // namespace velix::interchange
