// The list's Qt-free rules: the timer tick, the row colours and where a
// row's record comes from (view index or live snapshot).
#include <gtest/gtest.h>

#include "Orvane/decode/tests/views_test_support.h"
#include "Orvane/ui/list/list_rows.h"
#include "Orvane/ui/list/list_tick.h"
#include "Orvane/ui/list/row_colours.h"

namespace orvane {
namespace {

struct TickCase {
  const char* name;
  ListTickInput in;
  ListTickAction expected;
};

void PrintTo(const TickCase& tick, std::ostream* out) { *out << tick.name; }

class ListTickTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(ListTickTest, Decides) {
  const ListTickAction got = DecideListTick(GetParam().in);
  const ListTickAction& want = GetParam().expected;
  EXPECT_EQ(got.announce, want.announce);
  EXPECT_EQ(got.scroll_to_last, want.scroll_to_last);
  EXPECT_EQ(got.take_snapshot, want.take_snapshot);
  EXPECT_EQ(got.leave_snapshot, want.leave_snapshot);
  EXPECT_EQ(got.interval_ms, want.interval_ms);
}

// Inputs: live, analysis, index count, announced, paused, ring full, interval.
// Actions: announce, scroll, snapshot, leave snapshot, interval.
INSTANTIATE_TEST_SUITE_P(
    Table, ListTickTest,
    ::testing::Values(
        TickCase{"IdleNothingNew", {false, false, 5, 5, false, false, 500}, {false, false, false, false, 500}},
        TickCase{"OfflineNewRows", {false, false, 7, 0, false, false, 100}, {true, true, false, true, 100}},
        TickCase{"OfflineAnalysisLeavesIndexAlone", {false, true, 7, 0, false, false, 100},
                 {false, false, false, false, 100}},
        TickCase{"LiveDuringAnalysisStillFollows", {true, true, 9, 3, false, false, 500},
                 {true, true, false, true, 100}},
        TickCase{"PausedCountsWithoutScrolling", {true, true, 9, 3, true, false, 100},
                 {true, false, false, true, 100}},
        TickCase{"FewerRowsAfterReset", {false, false, 0, 40, false, false, 100}, {true, true, false, true, 100}},
        TickCase{"FullRingSnapshots", {true, true, kLivePoolRecords, kLivePoolRecords, false, true, 100},
                 {false, true, true, false, 500}},
        TickCase{"FullRingPausedKeepsStill", {true, true, kLivePoolRecords, kLivePoolRecords, true, true, 500},
                 {false, false, false, false, 500}},
        TickCase{"FullIndexOfflineNoSnapshot", {false, false, kLivePoolRecords, kLivePoolRecords, false, false, 100},
                 {false, false, false, false, 100}},
        TickCase{"LiveRingGrowingBackToFast", {true, true, 200, 100, false, false, 500},
                 {true, true, false, true, 100}}),
    [](const ::testing::TestParamInfo<TickCase>& param) { return std::string(param.param.name); });

struct ColourCase {
  uint32_t row;
  bool trigger;
  bool window;
  Rgb background;
  Rgb text;
};

class RowColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(RowColourTest, FollowsTheTable) {
  const RowColours got = ListRowColours(GetParam().row, GetParam().trigger);
  EXPECT_EQ(got.window_background, GetParam().window);
  if (!GetParam().window) {
    EXPECT_EQ(got.background, GetParam().background);
  }
  EXPECT_EQ(got.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RowColourTest,
    ::testing::Values(ColourCase{0, false, true, {}, {8, 0, 0}},
                      ColourCase{1, false, false, {224, 255, 255}, {8, 0, 0}},
                      ColourCase{2, false, true, {}, {8, 0, 0}},
                      ColourCase{17999999, false, false, {224, 255, 255}, {8, 0, 0}},
                      ColourCase{3, true, false, {202, 237, 82}, {255, 0, 255}},
                      ColourCase{4, true, false, {202, 237, 82}, {255, 0, 255}}));

class ListRowsTest : public ::testing::Test, public views_test::RecordsFixture {
 protected:
  // The pool filled with `records` records whose Index counts from 0; the
  // last one left incomplete, as the decoder may be filling it.
  void FillPool(uint32_t records) {
    ASSERT_TRUE(Store().CreatePool());
    for (uint32_t i = 0; i < records; ++i) {
      const RecordRef ref = Store().Allocate();
      TransactionInfo& r = Store().At(ref);
      r.Index = i;
      r.RecordFlags = i + 1 == records ? 0 : kRecordComplete;
      Store().AppendToViewLive(ref);
    }
  }
  LiveSnapshot snapshot_;
};

TEST_F(ListRowsTest, ViewIndexRowsWithinTheAnnouncedCount) {
  for (int i = 0; i < 4; ++i) Add().Status = static_cast<uint16_t>(i);
  ViewAll();
  TransactionInfo out{};
  RecordRef ref = kNoRecord;
  ASSERT_TRUE(ListRecordAt(&Sampling(), snapshot_, 4, 2, &out, &ref));
  EXPECT_EQ(out.Index, 2u);
  EXPECT_EQ(ref, Store().RowRef(2));
  // Announced fewer rows than the index holds: the rest are not shown yet.
  EXPECT_FALSE(ListRecordAt(&Sampling(), snapshot_, 2, 2, &out));
  // Announced more than the index holds (the index was reset since).
  EXPECT_FALSE(ListRecordAt(&Sampling(), snapshot_, 9, 4, &out));
  EXPECT_FALSE(ListRecordAt(nullptr, snapshot_, 4, 0, &out));
}

struct SnapshotCase {
  uint32_t row;
  bool found;
  uint32_t index;
};

class SnapshotRowsTest : public ListRowsTest, public ::testing::WithParamInterface<SnapshotCase> {};

// 24,007 records through the ring: the cursor stands at 5, so row 0 is the
// record in slot 5 (Index 5) and the newest, incomplete record is the last
// row.
TEST_P(SnapshotRowsTest, RowPlusCursorModuloThePool) {
  FillPool(kLivePoolRecords + 5);
  ASSERT_TRUE(snapshot_.Take(Sampling()));
  // Records written after the copy do not show until the next one.
  Store().At(5).Index = 999;
  TransactionInfo out{};
  RecordRef ref = 0;
  ASSERT_EQ(ListRecordAt(&Sampling(), snapshot_, kLivePoolRecords, GetParam().row, &out, &ref),
            GetParam().found);
  if (GetParam().found) {
    EXPECT_EQ(out.Index, GetParam().index);
    EXPECT_EQ(ref, kNoRecord);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, SnapshotRowsTest,
                         ::testing::Values(SnapshotCase{0, true, 5}, SnapshotCase{1, true, 6},
                                           SnapshotCase{kLivePoolRecords - 6, true, kLivePoolRecords - 1},
                                           SnapshotCase{kLivePoolRecords - 5, true, kLivePoolRecords},
                                           SnapshotCase{kLivePoolRecords - 2, true, kLivePoolRecords + 3},
                                           SnapshotCase{kLivePoolRecords - 1, false, 0},
                                           SnapshotCase{kLivePoolRecords, false, 0}));

TEST_F(ListRowsTest, SnapshotNeedsAPoolAndEndsOnLeave) {
  Add();
  ViewAll();
  EXPECT_FALSE(snapshot_.Take(Sampling()));
  EXPECT_FALSE(snapshot_.Active());
  // Not wrapped yet: row r is slot r.
  FillPool(4);
  ASSERT_TRUE(snapshot_.Take(Sampling()));
  TransactionInfo out{};
  ASSERT_TRUE(ListRecordAt(&Sampling(), snapshot_, 4, 1, &out));
  EXPECT_EQ(out.Index, 1u);
  EXPECT_FALSE(ListRecordAt(&Sampling(), snapshot_, 4, 3, &out));
  Store().At(1).Index = 77;
  ASSERT_TRUE(ListRecordAt(&Sampling(), snapshot_, 4, 1, &out));
  EXPECT_EQ(out.Index, 1u);
  snapshot_.Leave();
  ASSERT_TRUE(ListRecordAt(&Sampling(), snapshot_, 4, 1, &out));
  EXPECT_EQ(out.Index, 77u);
}

}  // namespace
}  // namespace orvane
