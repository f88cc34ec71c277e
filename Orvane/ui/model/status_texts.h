#pragma once
// The texts of the status bar's panes: the idle pane that says what the
// window holds, and the message pane with its blinking text. Texts are the
// English originals; the Qt view translates them piece by piece.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane::ui {

struct IdleState {
  bool live = false;
  bool analysis = false;
  bool loaded = false;
  bool monitor_mode = false;
  bool forced_display = false;
  bool free_run = false;
  uint8_t bus = 0;
  std::optional<uint32_t> selected_index;  // the selection's Index, if any
};

// The idle pane as pieces: each piece is a fixed text to translate, and
// `number` (when set) fills its "%u".
struct IdlePiece {
  const char* text;
  std::optional<uint32_t> number;
};
std::vector<IdlePiece> IdlePaneText(const IdleState& state);

// The message pane: a text in a colour that alternates with a blank every
// 500 ms until the run ends.
class MessagePane {
 public:
  static constexpr int kBlinkMs = 500;

  void Show(const std::string& text, uint32_t colour);  // 0x80E8
  void Append(const std::string& text);                 // 0x80F2: "  " + text
  void Clear();                                         // end of a run
  // One blink tick; returns what the pane shows now.
  const std::string& Tick();

  const std::string& Text() const { return text_; }
  uint32_t Colour() const { return colour_; }
  bool Blinking() const { return blinking_; }
  const std::string& Shown() const { return blank_phase_ ? kBlank : text_; }

 private:
  static inline const std::string kBlank;
  std::string text_;
  uint32_t colour_ = 0;
  bool blinking_ = false;
  bool blank_phase_ = false;
};

// The progress pane after a progress posting: code 10 = range 0..value/100
// at 0, 11 = position value/100, 12 = range 0..value, 13 = position value.
// Codes 10 and 12 make the bar show its percentage. Other codes change
// nothing.
struct ProgressPane {
  uint32_t maximum = 100;
  uint32_t position = 0;
  bool text_visible = false;

  void Apply(uint32_t code, uint32_t value);
};

}  // namespace orvane::ui
