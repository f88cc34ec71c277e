// The dump lists' rows: how many a byte count gives per kind, where each
// row's bytes come from, the three column texts, which digits a search
// result marks and which row it scrolls to.
#include "Orvane/ui/tabs/dump_rows.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace orvane::ui {
namespace {

struct RowCase {
  const char* name;
  DumpKind kind;
  uint32_t count;
  uint32_t rows;
  // The last row's place.
  uint32_t last_offset;
  uint32_t last_length;
  bool last_second;
};

TEST(DumpRows, CountAndPlaceOfTheLastRow) {
  const RowCase cases[] = {
      {"no bytes", DumpKind::kData, 0, 0},
      {"16 bytes are one row", DumpKind::kData, 16, 1, 0, 16, false},
      {"17 bytes are two", DumpKind::kMiso, 17, 2, 0x10, 1, false},
      {"MOSI reads the second array", DumpKind::kMosi, 33, 3, 0x20, 1, true},
      {"MISO+MOSI: 20 bytes, four rows", DumpKind::kMisoMosi, 20, 4, 0x10, 4, true},
      {"MISO+MOSI: one byte, two rows", DumpKind::kMisoMosi, 1, 2, 0, 1, true},
      {"64 KiB", DumpKind::kData, 65536, 4096, 0xFFF0, 16, false},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(DumpRowCount(c.kind, c.count), c.rows);
    DumpRowPlace place;
    EXPECT_FALSE(DumpRowPlaceOf(c.kind, c.rows, c.count, &place));
    if (c.rows == 0) continue;
    ASSERT_TRUE(DumpRowPlaceOf(c.kind, c.rows - 1, c.count, &place));
    EXPECT_EQ(place.offset, c.last_offset);
    EXPECT_EQ(place.length, c.last_length);
    EXPECT_EQ(place.second, c.last_second);
  }
}

TEST(DumpRows, MisoMosiAlternatesTheLinesAtTheSameOffsets) {
  const struct {
    uint32_t offset;
    bool second;
    const char* column0;
  } expected[] = {{0, false, "  000000 [MISO]"},
                  {0, true, "         [MOSI]"},
                  {0x10, false, "  000010 [MISO]"},
                  {0x10, true, "         [MOSI]"}};
  for (uint32_t row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    DumpRowPlace place;
    ASSERT_TRUE(DumpRowPlaceOf(DumpKind::kMisoMosi, row, 20, &place));
    EXPECT_EQ(place.offset, expected[row].offset);
    EXPECT_EQ(place.second, expected[row].second);
    EXPECT_EQ(DumpOffsetText(DumpKind::kMisoMosi, row, place.offset), expected[row].column0);
  }
}

TEST(DumpRows, ColumnTexts) {
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* hex;
    const char* ascii;
  } cases[] = {
      {"printable edges and their neighbours", {0x1F, 0x20, 0x7E, 0x7F}, " 1F 20 7E 7F", ". ~."},
      {"the ninth byte after a dash",
       {0x41, 1, 2, 3, 4, 5, 6, 7, 0x42, 9, 10, 11, 12, 13, 14, 0xFF},
       " 41 01 02 03 04 05 06 07-42 09 0A 0B 0C 0D 0E FF",
       "A.......B......."},
      {"a single byte", {0x80}, " 80", "."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const uint32_t length = static_cast<uint32_t>(c.bytes.size());
    EXPECT_EQ(DumpHexText(c.bytes.data(), length), c.hex);
    EXPECT_EQ(DumpAsciiText(c.bytes.data(), length), c.ascii);
  }
  EXPECT_EQ(DumpOffsetText(DumpKind::kData, 1, 0x10), "  000010");
  EXPECT_EQ(DumpOffsetText(DumpKind::kMiso, 4096, 0x10000), "  010000");
}

TEST(DumpRows, CaptionsByKind) {
  EXPECT_STREQ(DumpCaptionOf(DumpKind::kMiso, 0).text, "ADRS [MISO] ");
  EXPECT_STREQ(DumpCaptionOf(DumpKind::kMosi, 0).text, "ADRS [MOSI] ");
  EXPECT_STREQ(DumpCaptionOf(DumpKind::kMisoMosi, 0).text, "ADRS        ");
  EXPECT_STREQ(DumpCaptionOf(DumpKind::kData, 0).text, "ADRS        ");
  EXPECT_STREQ(DumpCaptionOf(DumpKind::kData, 0).width_pad, "RRRR");
  EXPECT_STREQ(DumpCaptionOf(DumpKind::kData, 1).text, "+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F    ");
  EXPECT_STREQ(DumpCaptionOf(DumpKind::kData, 1).width_pad, "RRR");
  EXPECT_STREQ(DumpCaptionOf(DumpKind::kMiso, 2).text, "ASCII  character    ");
  EXPECT_STREQ(DumpCaptionOf(DumpKind::kMiso, 2).width_pad, "RRR");
}

TEST(DumpRows, HighlightedDigitsPerRow) {
  const struct {
    const char* name;
    DumpHighlight highlight;
    DumpRowPlace row;
    std::optional<CharSpan> digits;
  } cases[] = {
      {"one byte at the row start", {0, 1}, {0, 16}, CharSpan{1, 3}},
      {"two bytes in the middle", {0x13, 2}, {0x10, 16}, CharSpan{10, 15}},
      {"the ninth byte: digits after the dash", {8, 1}, {0, 16}, CharSpan{25, 27}},
      {"runs past the row: to its last digit", {14, 5}, {0, 16}, CharSpan{43, 48}},
      {"continues at the next row's start", {14, 5}, {16, 16}, CharSpan{1, 9}},
      {"covers a whole middle row", {10, 40}, {16, 16}, CharSpan{1, 48}},
      {"ends before the row", {0, 16}, {16, 16}, std::nullopt},
      {"starts after the row", {32, 2}, {16, 16}, std::nullopt},
      {"a short last row holds only its bytes", {16, 8}, {16, 3}, CharSpan{1, 9}},
      {"no length marks nothing", {5, 0}, {0, 16}, std::nullopt},
      {"no wrap at the top of the offsets", {0xFFFFFFF0u, 0xFFFFFFFFu}, {0, 16}, std::nullopt},
      {"the same offsets in the second array's row", {3, 1}, {0, 16, true}, CharSpan{10, 12}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HighlightedDigits(c.highlight, c.row), c.digits);
  }
}

TEST(DumpRows, TheMarkedDigitsAreTheFoundBytes) {
  std::vector<uint8_t> bytes(16);
  std::iota(bytes.begin(), bytes.end(), uint8_t{0xA0});
  const std::string hex = DumpHexText(bytes.data(), 16);
  const std::optional<CharSpan> span = HighlightedDigits({7, 3}, {0, 16});
  ASSERT_TRUE(span);
  EXPECT_EQ(hex.substr(span->first, span->end - span->first), "A7-A8 A9");
}

TEST(DumpRows, HighlightScrollRowByListAndSearch) {
  const struct {
    DumpKind kind;
    HighlightKind search;
    uint32_t offset;
    uint32_t row;
  } cases[] = {
      {DumpKind::kMiso, HighlightKind::kMiso, 0x25, 2},
      {DumpKind::kMosi, HighlightKind::kMiso, 0x25, 0},  // marks, does not scroll
      {DumpKind::kMisoMosi, HighlightKind::kMiso, 0x25, 4},
      {DumpKind::kMosi, HighlightKind::kMosi, 0x25, 2},
      {DumpKind::kMiso, HighlightKind::kMosi, 0x25, 0},
      {DumpKind::kMisoMosi, HighlightKind::kMosi, 0x25, 5},
      {DumpKind::kData, HighlightKind::kI2cData, 0x10, 1},
      {DumpKind::kData, HighlightKind::kNack, 0x10, 0},
      {DumpKind::kMisoMosi, HighlightKind::kI2cData, 0x40, 0},
      {DumpKind::kData, HighlightKind::kMiso, 0x40, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.kind) << "/" << int(c.search));
    EXPECT_EQ(HighlightScrollRow(c.kind, c.search, c.offset), c.row);
  }
}

}  // namespace
}  // namespace orvane::ui
