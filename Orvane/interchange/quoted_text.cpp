#include "Orvane/interchange/quoted_text.h"

namespace velix::interchange {

namespace {
constexpr size_t kShownBytes = 64;
}

std::string QuotedText(std::string_view text) {
  std::string quoted = "\"";
  for (size_t i = 0; i < text.size() && i < kShownBytes; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    quoted += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
  }
  if (text.size() > kShownBytes) quoted += "...";
  return quoted + "\"";
}

}  // namespace velix::interchange
