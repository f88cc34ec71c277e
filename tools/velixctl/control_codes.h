#pragma once
// The driver's control codes by their short names (the IOCTL_BULKUSB_
// names without that prefix), so a code can be typed either way.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace velix::ctl {

// A 32-bit decimal or 0x-hexadecimal number, or a short name in any case
// ("get_count", "BULK_START").
std::optional<uint32_t> ParseControlCode(std::string_view text);

// The short name of a code in the driver's table, "" for any other.
std::string_view ControlCodeName(uint32_t code);

// Every short name, in the driver's order, for the help text.
std::vector<std::string_view> ControlCodeNames();

}  // namespace velix::ctl
