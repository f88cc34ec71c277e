#include "Orvane/ui/waveform_paint/waveform_labels.h"

#include <cstdio>

#include "Orvane/decode/cell_texts.h"

namespace orvane::ui {

std::string GridOffsetText(int64_t p, uint8_t period_code) {
  const uint64_t magnitude = p < 0 ? 0 - static_cast<uint64_t>(p) : static_cast<uint64_t>(p);
  return (p < 0 ? "-" : "") + FormatTimeSpan(magnitude, period_code);
}

std::string GridAbsoluteText(uint64_t start_clock, int64_t p, uint8_t period_code) {
  const uint64_t clock = p < 0 && start_clock < 0 - static_cast<uint64_t>(p) ? 0 : start_clock + static_cast<uint64_t>(p);
  return FormatStartTime(clock, period_code);
}

std::string ByteIndexText(uint8_t byte, uint32_t index) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%02X [%u]", byte, index);
  return text;
}

std::string ByteText(uint8_t byte) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X ", byte);
  return text;
}

}  // namespace orvane::ui
