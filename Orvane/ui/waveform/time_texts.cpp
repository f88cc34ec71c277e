#include "Orvane/ui/waveform/time_texts.h"

#include <cstdio>

namespace orvane::ui {

namespace {

uint64_t Magnitude(int64_t value) {
  return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

std::string SignedHundredths(int64_t time, const char* suffix) {
  const uint64_t magnitude = Magnitude(time);
  char text[64];
  std::snprintf(text, sizeof text, "%s%llu.%02u%s", time < 0 ? "-" : "",
                static_cast<unsigned long long>(magnitude / 100),
                static_cast<unsigned>(magnitude % 100), suffix);
  return text;
}

}  // namespace

std::string SpanText(int64_t time) { return SignedHundredths(time, ""); }

std::string AbsoluteText(uint64_t time) {
  char text[64];
  std::snprintf(text, sizeof text, "%llu:%03u:%03u.%02u",
                static_cast<unsigned long long>(time / 100000000),
                static_cast<unsigned>(time % 100000000 / 100000),
                static_cast<unsigned>(time % 100000 / 100), static_cast<unsigned>(time % 100));
  return text;
}

std::string RangeStartText(int64_t time) { return SignedHundredths(time, " ~ "); }

std::string RangeEndText(int64_t time) { return SignedHundredths(time, " (us)"); }

std::string ScaleText(uint32_t scale) {
  char text[48];
  std::snprintf(text, sizeof text, " Scale : 1/%u.%u ", scale / 10, scale % 10);
  return text;
}

}  // namespace orvane::ui
