#include "Orvane/ui/dialogs/hex_row_model.h"

#include <vector>

#include "Orvane/decode/dialog_values.h"
#include "platform/string_format.h"

namespace orvane {

std::string FormatHexRow(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += velix::platform::StringPrintf("%c%02X", ':', bytes[i]);
  return text;
}

void StoreHexRow(std::string_view text, uint8_t* bytes, size_t count) {
  const std::vector<uint8_t> typed = ParseHexBytes(text, count);
  for (size_t i = 0; i < typed.size(); ++i) bytes[i] = typed[i];
}

HexRowEditor::HexRowEditor(size_t byte_count) : byte_count_(byte_count), text_(byte_count * 3, '0') {
  for (size_t i = 0; i < byte_count_; ++i) text_[i * 3] = ':';
}

void HexRowEditor::SetBytes(const uint8_t* bytes) {
  text_ = FormatHexRow(bytes, byte_count_);
  caret_ = 1;
}

bool HexRowEditor::Type(char c) {
  if (caret_ >= text_.size()) return false;
  char digit = 0;
  if (c >= '0' && c <= '9') digit = c;
  if (c >= 'A' && c <= 'F') digit = c;
  if (c >= 'a' && c <= 'f') digit = static_cast<char>(c - 'a' + 'A');
  if (digit == 0) return false;
  text_[caret_] = digit;
  Right();
  return true;
}

void HexRowEditor::Left() {
  if (caret_ <= 1) return;
  --caret_;
  if (!IsDigitColumn(caret_)) --caret_;
}

void HexRowEditor::Right() {
  if (caret_ >= text_.size()) return;
  ++caret_;
  if (caret_ < text_.size() && !IsDigitColumn(caret_)) ++caret_;
}

void HexRowEditor::Home() { caret_ = 1; }

void HexRowEditor::End() { caret_ = text_.size(); }

void HexRowEditor::PlaceNear(size_t column) {
  if (text_.empty()) return;
  const size_t last = text_.size() - 1;
  if (column >= last) {
    caret_ = last;
    return;
  }
  // A separator belongs to the byte it opens.
  caret_ = IsDigitColumn(column) ? column : column + 1;
}

}  // namespace orvane
