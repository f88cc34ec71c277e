// The trigger dialogs' hex rows: their text, overwrite editing with the
// caret stepping over separators, and how a row's text is read back.
#include "Orvane/ui/dialogs/hex_row_model.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace orvane {
namespace {

TEST(HexRowModel, FormatsEveryByteUnderItsHeader) {
  const uint8_t bytes[] = {0xAA, 0x0B, 0x00, 0xFF};
  EXPECT_EQ(FormatHexRow(bytes, 4), ":AA:0B:00:FF");
  EXPECT_EQ(FormatHexRow(bytes, 4).size(), std::string(":+0:+1:+2:+3").size());
  HexRowEditor row(8);
  EXPECT_EQ(row.Text(), ":00:00:00:00:00:00:00:00");
  EXPECT_EQ(row.Caret(), 1u);
}

TEST(HexRowModel, StoringFillsFromTheFirstByteAndKeepsTheRest) {
  struct Case {
    const char* text;
    std::array<uint8_t, 8> expected;
  };
  const std::vector<Case> cases = {
      {":AA:BB", {0xAA, 0xBB, 3, 4, 5, 6, 7, 8}},
      {"aa bb", {0xAA, 0xBB, 3, 4, 5, 6, 7, 8}},
      {"1-2_3.4,5;6", {1, 2, 3, 4, 5, 6, 7, 8}},
      {"::zz::7", {0x00, 0x07, 3, 4, 5, 6, 7, 8}},  // not hexadecimal reads as 0
      {"", {1, 2, 3, 4, 5, 6, 7, 8}},
      {":11:22:33:44:55:66:77:88:99", {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}},
      {"1FF", {0xFF, 2, 3, 4, 5, 6, 7, 8}},
  };
  for (const Case& c : cases) {
    std::array<uint8_t, 8> bytes = {1, 2, 3, 4, 5, 6, 7, 8};
    StoreHexRow(c.text, bytes.data(), bytes.size());
    EXPECT_EQ(bytes, c.expected) << c.text;
  }
}

TEST(HexRowModel, KeysOverwriteAndMoveOverSeparators) {
  struct Case {
    const char* keys;  // < > Home=h End=e, anything else is typed
    const char* text;
    size_t caret;
  };
  const std::vector<Case> cases = {
      {"a", ":A0:00:00:00", 2},
      {"ab", ":AB:00:00:00", 4},
      {"abc", ":AB:C0:00:00", 5},
      {"12345678", ":12:34:56:78", 12},
      {"123456789", ":12:34:56:78", 12},  // full: nothing more is taken
      {"12345678<9", ":12:34:56:79", 12},
      {"g7", ":70:00:00:00", 2},  // not a digit: refused, caret stays
      {">>>", ":00:00:00:00", 5},
      {">>1", ":00:10:00:00", 5},
      {"<<<", ":00:00:00:00", 1},
      {"e<F", ":00:00:00:0F", 12},
      {"e>", ":00:00:00:00", 12},
      {"eh5", ":50:00:00:00", 2},
      {"ab<<C", ":CB:00:00:00", 2},
  };
  for (const Case& c : cases) {
    HexRowEditor row(4);
    for (const char* key = c.keys; *key; ++key) {
      switch (*key) {
        case '<': row.Left(); break;
        case '>': row.Right(); break;
        case 'h': row.Home(); break;
        case 'e': row.End(); break;
        default: row.Type(*key);
      }
    }
    EXPECT_EQ(row.Text(), c.text) << c.keys;
    EXPECT_EQ(row.Caret(), c.caret) << c.keys;
  }
}

TEST(HexRowModel, PlacingGoesToTheNearestDigit) {
  struct Case {
    size_t column, caret;
  };
  const std::vector<Case> cases = {{0, 1}, {1, 1}, {2, 2}, {3, 4}, {5, 5}, {6, 7}, {11, 11}, {12, 11}, {40, 11}};
  for (const Case& c : cases) {
    HexRowEditor row(4);
    row.PlaceNear(c.column);
    EXPECT_EQ(row.Caret(), c.caret) << c.column;
  }
}

TEST(HexRowModel, SettingBytesShowsThemAndRestartsTheCaret) {
  HexRowEditor row(4);
  row.End();
  const uint8_t bytes[] = {0x12, 0x34, 0xAB, 0xCD};
  row.SetBytes(bytes);
  EXPECT_EQ(row.Text(), ":12:34:AB:CD");
  EXPECT_EQ(row.Caret(), 1u);
  std::array<uint8_t, 4> back{};
  StoreHexRow(row.Text(), back.data(), back.size());
  EXPECT_EQ(back, (std::array<uint8_t, 4>{0x12, 0x34, 0xAB, 0xCD}));
}

}  // namespace
}  // namespace orvane
