#include "Orvane/interchange/settings_comment.h"

#include <cstring>

namespace velix::interchange {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string SettingsHex(const orvane::SettingsRecord& settings) {
  static constexpr char kDigits[] = "0123456789abcdef";
  uint8_t bytes[orvane::kSettingsRecordSize];
  std::memcpy(bytes, &settings, sizeof bytes);
  std::string hex;
  hex.reserve(2 * sizeof bytes);
  for (const uint8_t b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

std::optional<std::vector<uint8_t>> SettingsBytesOfHex(std::string_view hex) {
  if (hex.size() != 2 * orvane::kSettingsRecordSize) return std::nullopt;
  std::vector<uint8_t> bytes(orvane::kSettingsRecordSize);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const int high = HexDigit(hex[2 * i]);
    const int low = HexDigit(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return bytes;
}

}  // namespace velix::interchange
