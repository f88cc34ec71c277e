#include "Orvane/decode/text_append.h"

#include <charconv>

namespace orvane {

namespace {

void AppendPadded(const char* digits, int length, int width, char pad, std::string* out) {
  if (length < width) out->append(static_cast<size_t>(width - length), pad);
  out->append(digits, static_cast<size_t>(length));
}

}  // namespace

void AppendDecimal(uint64_t value, std::string* out) {
  char digits[20];
  out->append(digits, PutDecimal(value, digits));
}

void AppendZeroPadded(uint32_t value, int width, std::string* out) {
  char digits[10];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  AppendPadded(digits, static_cast<int>(end - digits), width, '0', out);
}

void AppendHexByte(uint8_t value, std::string* out) { out->append(&text_tables::kHexPairs[2 * value], 2); }

void AppendHexBytes(const uint8_t* bytes, size_t count, std::string* out) {
  const size_t at = out->size();
  out->resize(at + count * 2);
  char* digits = out->data() + at;
  for (size_t i = 0; i < count; ++i) digits = PutHexByte(bytes[i], digits);
}

void AppendHexPadded(uint32_t value, int width, char pad, std::string* out) {
  char digits[8];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  for (char* c = digits; c != end; ++c) {
    if (*c >= 'a') *c = static_cast<char>(*c - 'a' + 'A');
  }
  AppendPadded(digits, static_cast<int>(end - digits), width, pad, out);
}

}  // namespace orvane
