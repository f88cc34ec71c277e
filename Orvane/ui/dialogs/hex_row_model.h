#pragma once
// A row of hexadecimal bytes as the trigger dialogs edit it: every byte is a
// ":" and two upper-case digits, so the row is always as long as its header
// (":+0:+1:…"). Typing overwrites digit by digit; the caret only ever
// stands on a digit, or just past the last one once the row is typed full.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// ":AA:BB…" for `count` bytes.
std::string FormatHexRow(const uint8_t* bytes, size_t count);

// Reads a row's text back: the text is split at any of ":- _.,;" and each
// non-empty piece, read as hexadecimal (0 when it is not), fills the next
// byte from the first. Bytes without a piece keep their value: a pattern
// typed short must not wipe what the record holds behind it.
void StoreHexRow(std::string_view text, uint8_t* bytes, size_t count);

// The byte a text column belongs to.
inline size_t HexRowByteOf(size_t column) { return column / 3; }

class HexRowEditor {
 public:
  explicit HexRowEditor(size_t byte_count);

  size_t ByteCount() const { return byte_count_; }
  const std::string& Text() const { return text_; }
  // The caret's column in Text(); Text().size() once typed past the end.
  size_t Caret() const { return caret_; }

  void SetBytes(const uint8_t* bytes);
  // A hexadecimal digit overwrites the digit at the caret, in upper case,
  // and the caret moves on; anything else, or no digit left, is refused.
  bool Type(char c);
  // The caret steps over the ":" separators.
  void Left();
  void Right();
  void Home();
  void End();
  // The caret goes to the digit nearest to `column` (a click, or the same
  // column in the row above or below).
  void PlaceNear(size_t column);

 private:
  static bool IsDigitColumn(size_t column) { return column % 3 != 0; }

  size_t byte_count_;
  std::string text_;
  size_t caret_ = 1;
};

}  // namespace orvane
