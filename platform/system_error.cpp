#include "platform/system_error.h"

#include <climits>
#include <cstring>

namespace velix::platform {
namespace {

// strerror_r comes in two shapes depending on the C library's feature
// macros; overloads on its return type pick the right reading of each.
// The GNU form returns the text (maybe a static string, maybe the buffer).
[[maybe_unused]] std::string FromStrerror(const char* text, const char*) {
  return text != nullptr ? text : "";
}
// The XSI form returns 0 and fills the buffer.
[[maybe_unused]] std::string FromStrerror(int result, const char* buffer) {
  return result == 0 ? buffer : "";
}

std::string UnknownError(uint32_t code) { return "Unknown error " + std::to_string(code); }

}  // namespace

std::string SystemErrorText(uint32_t code) {
  if (code > INT_MAX) return UnknownError(code);
  char buffer[256] = {};
  const std::string text =
      FromStrerror(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
  return text.empty() ? UnknownError(code) : text;
}

}  // namespace velix::platform
