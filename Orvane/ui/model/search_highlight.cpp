#include "Orvane/ui/model/search_highlight.h"

namespace orvane::ui {

std::optional<HighlightKind> SearchHighlightOf(SearchKind kind, uint8_t line, bool spi) {
  switch (kind) {
    case SearchKind::kData:
      if (!spi) return HighlightKind::kI2cData;
      return line == 0 ? HighlightKind::kMiso : HighlightKind::kMosi;
    case SearchKind::kNack: return HighlightKind::kNack;
    case SearchKind::kNone:
    case SearchKind::kI2CAddress:
    case SearchKind::kI2CSubAddress:
    case SearchKind::kError: break;
  }
  return std::nullopt;
}

std::optional<int32_t> SearchHitClock(const SearchHit& hit) {
  if (!hit.found || !hit.has_clock) return std::nullopt;
  return static_cast<int32_t>(hit.clock_offset);
}

}  // namespace orvane::ui
