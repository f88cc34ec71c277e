#pragma once
// printf-style formatting into a std::string, for the user messages that
// carry numbers and names.

#include <string>

namespace velix::platform {

std::string StringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace velix::platform
