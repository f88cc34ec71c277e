#include "Orvane/ui/model/status_texts.h"

#include <algorithm>

namespace orvane::ui {

std::vector<IdlePiece> IdlePaneText(const IdleState& s) {
  std::vector<IdlePiece> pieces;
  if (s.live) {
    if (s.monitor_mode) {
      pieces.push_back({s.bus == 0 ? "[SPI Monitor] Capture" : "[I2C Monitor] Capture", {}});
    } else if (s.bus == 0) {
      pieces.push_back({"[SPI] Capture", {}});
    } else {
      // The misspelling is the text users have always seen on this bus.
      pieces.push_back({s.bus == 1 ? "[I2C:#0(Main)] Capture" : "[I2C:#1(Sub)] Caputre", {}});
    }
    pieces.push_back({"    ", {}});
    pieces.push_back({s.free_run ? "Free run" : "Oneshot", {}});
    return pieces;
  }
  if (!s.loaded) return pieces;
  if (s.forced_display) {
    pieces.push_back({"Forced display mode", {}});
  } else {
    pieces.push_back({s.bus == 0 ? "[SPI] Data" : "[I2C] Data", {}});
  }
  if (!s.analysis && s.selected_index) {
    pieces.push_back({"      ", {}});
    pieces.push_back({"Transaction No. : %u", s.selected_index});
  }
  return pieces;
}

void MessagePane::Show(const std::string& text, uint32_t colour) {
  text_ = text;
  colour_ = colour;
  blinking_ = true;
  blank_phase_ = false;
}

void MessagePane::Append(const std::string& text) { text_ += "  " + text; }

void MessagePane::Clear() {
  text_.clear();
  colour_ = 0;
  blinking_ = false;
  blank_phase_ = false;
}

const std::string& MessagePane::Tick() {
  if (blinking_) blank_phase_ = !blank_phase_;
  return Shown();
}

void ProgressPane::Apply(uint32_t code, uint32_t value) {
  switch (code) {
    case 10:
      maximum = std::max<uint32_t>(value / 100, 1);
      position = 0;
      text_visible = true;
      break;
    case 11: position = std::min(value / 100, maximum); break;
    case 12:
      maximum = std::max<uint32_t>(value, 1);
      position = 0;
      text_visible = true;
      break;
    case 13: position = std::min(value, maximum); break;
    default: break;
  }
}

}  // namespace orvane::ui
