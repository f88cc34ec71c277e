#include "Orvane/ui/model/search_highlight.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane::ui {
namespace {

TEST(SearchHighlight, BytesAreMarkedOnTheLineTheyWereFoundIn) {
  struct Case {
    SearchKind kind;
    uint8_t line;
    bool spi;
    std::optional<HighlightKind> expected;
  };
  const std::vector<Case> cases = {
      {SearchKind::kData, 0, false, HighlightKind::kI2cData},
      {SearchKind::kData, 0, true, HighlightKind::kMiso},
      {SearchKind::kData, 1, true, HighlightKind::kMosi},
      {SearchKind::kNack, 0, false, HighlightKind::kNack},
      {SearchKind::kI2CAddress, 0, false, std::nullopt},
      {SearchKind::kI2CSubAddress, 0, false, std::nullopt},
      {SearchKind::kError, 0, true, std::nullopt},
      {SearchKind::kNone, 0, false, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SearchHighlightOf(c.kind, c.line, c.spi), c.expected)
        << static_cast<int>(c.kind) << " " << int{c.line} << " " << c.spi;
  }
}

TEST(SearchHighlight, OnlyAnalyzerHitsMoveTheWaveform) {
  SearchHit hit;
  hit.found = true;
  hit.clock_offset = 1234;
  EXPECT_EQ(SearchHitClock(hit), std::nullopt);
  hit.has_clock = true;
  EXPECT_EQ(SearchHitClock(hit), 1234);
  hit.found = false;
  EXPECT_EQ(SearchHitClock(hit), std::nullopt);
}

}  // namespace
}  // namespace orvane::ui
