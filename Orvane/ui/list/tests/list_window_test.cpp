// The arithmetic of the list's row window: offsets, scrolling a row into
// sight, key moves and the mapping between absolute and window rows.
#include <gtest/gtest.h>

#include "Orvane/ui/list/list_window.h"

namespace orvane {
namespace {

constexpr uint32_t kBig = 18000000;

struct ClampCase {
  const char* name;
  ListWindow in;
  uint32_t offset;
  uint32_t rows;
};

void PrintTo(const ClampCase& c, std::ostream* out) { *out << c.name; }

class ClampTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampTest, OffsetAndRows) {
  const ListWindow window = ClampListWindow(GetParam().in);
  EXPECT_EQ(window.offset, GetParam().offset);
  EXPECT_EQ(ListWindowRows(window), GetParam().rows);
}

// Window: count, visible, offset.
INSTANTIATE_TEST_SUITE_P(
    Table, ClampTest,
    ::testing::Values(ClampCase{"Empty", {0, 10, 5}, 0, 0}, ClampCase{"FewerThanFit", {4, 10, 3}, 0, 4},
                      ClampCase{"ExactlyFit", {10, 10, 1}, 0, 10}, ClampCase{"Top", {100, 10, 0}, 0, 12},
                      ClampCase{"Middle", {100, 10, 50}, 50, 12}, ClampCase{"NearEnd", {100, 10, 89}, 89, 11},
                      ClampCase{"PastEnd", {100, 10, 95}, 90, 10},
                      ClampCase{"NoRowFitsStillOne", {100, 0, 200}, 99, 1},
                      ClampCase{"EndOfAHugeList", {kBig, 30, kNoListRow}, kBig - 30, 30}),
    [](const ::testing::TestParamInfo<ClampCase>& param) { return std::string(param.param.name); });

struct ShowCase {
  const char* name;
  ListWindow in;
  uint32_t row;
  uint32_t offset;
};

void PrintTo(const ShowCase& c, std::ostream* out) { *out << c.name; }

class ShowTest : public ::testing::TestWithParam<ShowCase> {};

TEST_P(ShowTest, LeastScrolling) { EXPECT_EQ(OffsetShowing(GetParam().in, GetParam().row), GetParam().offset); }

INSTANTIATE_TEST_SUITE_P(
    Table, ShowTest,
    ::testing::Values(ShowCase{"AlreadyShown", {100, 10, 20}, 25, 20}, ShowCase{"FirstShown", {100, 10, 20}, 20, 20},
                      ShowCase{"LastWhole", {100, 10, 20}, 29, 20}, ShowCase{"PartlyShownBelow", {100, 10, 20}, 30, 21},
                      ShowCase{"FarBelow", {100, 10, 20}, 70, 61}, ShowCase{"Above", {100, 10, 20}, 3, 3},
                      ShowCase{"LastRow", {100, 10, 0}, 99, 90}, ShowCase{"NoSuchRowStays", {100, 10, 20}, 100, 20},
                      ShowCase{"LastOfHuge", {kBig, 30, 0}, kBig - 1, kBig - 30}),
    [](const ::testing::TestParamInfo<ShowCase>& param) { return std::string(param.param.name); });

struct MoveCase {
  const char* name;
  ListWindow in;
  uint32_t current;
  ListMove move;
  uint32_t target;
};

void PrintTo(const MoveCase& c, std::ostream* out) { *out << c.name; }

class MoveTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MoveTest, Target) { EXPECT_EQ(ListMoveTarget(GetParam().in, GetParam().current, GetParam().move), GetParam().target); }

INSTANTIATE_TEST_SUITE_P(
    Table, MoveTest,
    ::testing::Values(MoveCase{"NoRows", {0, 10, 0}, kNoListRow, ListMove::kDown, kNoListRow},
                      MoveCase{"DownWithoutCurrentTakesFirstShown", {100, 10, 40}, kNoListRow, ListMove::kDown, 40},
                      MoveCase{"EndWithoutCurrent", {100, 10, 40}, kNoListRow, ListMove::kLast, 99},
                      MoveCase{"Down", {100, 10, 0}, 9, ListMove::kDown, 10},
                      MoveCase{"DownAtLastStays", {100, 10, 90}, 99, ListMove::kDown, 99},
                      MoveCase{"UpAtFirstStays", {100, 10, 0}, 0, ListMove::kUp, 0},
                      MoveCase{"Up", {100, 10, 50}, 50, ListMove::kUp, 49},
                      MoveCase{"PageDown", {100, 10, 0}, 5, ListMove::kPageDown, 15},
                      MoveCase{"PageDownStopsAtLast", {100, 10, 90}, 95, ListMove::kPageDown, 99},
                      MoveCase{"PageUp", {100, 10, 20}, 25, ListMove::kPageUp, 15},
                      MoveCase{"PageUpStopsAtFirst", {100, 10, 0}, 4, ListMove::kPageUp, 0},
                      MoveCase{"Home", {100, 10, 50}, 55, ListMove::kFirst, 0},
                      MoveCase{"End", {kBig, 30, 0}, 3, ListMove::kLast, kBig - 1},
                      MoveCase{"CurrentGoneAfterRefill", {5, 10, 0}, 40, ListMove::kUp, 0}),
    [](const ::testing::TestParamInfo<MoveCase>& param) { return std::string(param.param.name); });

TEST(ListWindowTest, MapsOnlyTheRowsTheWindowHolds) {
  const ListWindow window{100, 10, 40};
  uint32_t window_row = 77;
  EXPECT_FALSE(ToWindowRow(window, 39, &window_row));
  EXPECT_EQ(window_row, 77u);
  ASSERT_TRUE(ToWindowRow(window, 40, &window_row));
  EXPECT_EQ(window_row, 0u);
  // The margin rows below the viewport are in the table too.
  ASSERT_TRUE(ToWindowRow(window, 51, &window_row));
  EXPECT_EQ(window_row, 11u);
  EXPECT_FALSE(ToWindowRow(window, 52, &window_row));
  EXPECT_FALSE(ToWindowRow(window, kNoListRow, &window_row));
  EXPECT_FALSE(ToWindowRow(ListWindow{3, 10, 0}, 3, &window_row));
}

}  // namespace
}  // namespace orvane
