#pragma once
// Words for a system error code (errno values), the role FormatMessage plays.

#include <cstdint>
#include <string>

namespace velix::platform {

std::string SystemErrorText(uint32_t code);

}  // namespace velix::platform
