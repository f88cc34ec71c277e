#include "tools/velixctl/hex.h"

namespace velix::ctl {
namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ToHex(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const uint8_t byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

bool ParseHex(std::string_view text, std::vector<uint8_t>* bytes) {
  if (text.size() % 2 != 0) return false;
  std::vector<uint8_t> result;
  result.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = DigitValue(text[i]);
    const int low = DigitValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    result.push_back(static_cast<uint8_t>(high << 4 | low));
  }
  *bytes = std::move(result);
  return true;
}

}  // namespace velix::ctl
