#include <gtest/gtest.h>

#include <cstdint>

#include <string>

#include "Orvane/ui/waveform_paint/tests/trace_reference.h"
#include "Orvane/ui/waveform_paint/trace_columns.h"
#include "Orvane/ui/waveform_paint/trace_seek_index.h"

namespace orvane::ui {
namespace {

using analyzer_test::Harness;
using analyzer_test::RelaxedI2CSettings;
using testing::DenseI2CWrite;
using testing::ReferenceTrace;
using testing::WindowAt;

// Where a window starts, relative to the record.
enum class From { kRangeStart, kStart, kEnd };

struct WindowCase {
  const char* name;
  From from;
  int64_t shift;  // clocks from that point
  uint32_t scale;
  int width;
};

class TraceColumnsWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_ = RelaxedI2CSettings(2);
    out_ = harness_.RunOffline(RunI2CAnalyzerDecode, DenseI2CWrite(30000, 2), settings_);
    ASSERT_EQ(out_.records.size(), 1u);
  }
  const TransactionInfo& Record() const { return out_.records[0]; }
  WaveformWindow Window(const WindowCase& c) const {
    const int32_t min = -int32_t(Record().old_SignalClock);
    const int32_t max = static_cast<int32_t>(Record().Duration);
    const int64_t base = c.from == From::kRangeStart ? min : c.from == From::kStart ? 0 : max;
    return WindowAt(min, max, static_cast<int32_t>(base + c.shift), c.scale, c.width);
  }
  // Builds the window with `index` and compares every column with the
  // reference walk.
  void ExpectMatches(TraceSeekIndex& index, const WindowCase& c) {
    SCOPED_TRACE(c.name);
    const WaveformWindow w = Window(c);
    index.Use(TraceSourceOf(harness_.Sampling(), settings_, Record()));
    TraceColumns columns;
    {
      AtomWalker walker(harness_.Sampling());
      ASSERT_TRUE(columns.Build(walker, index, w, c.width, 2));
    }
    const auto ref = ReferenceTrace(harness_.Sampling(), settings_, Record(), w, c.width, 2);
    for (int row = 0; row < 2; ++row) {
      for (int x = 0; x < c.width; ++x) {
        ASSERT_EQ(columns.Levels(row, x), ref.At(row, x)) << "row " << row << " column " << x;
      }
    }
  }

  Harness harness_;
  SettingsRecord settings_;
  analyzer_test::Outcome out_;
};

// In the order a user might scroll: the end first (the index grows all the
// way), then back to the start, the middle, and edge cases.
const WindowCase kWindows[] = {
    {"end_scale_500", From::kEnd, -50000, 500, 1000},
    {"start_scale_1", From::kRangeStart, 0, 1, 300},
    {"start_scale_10", From::kStart, 0, 10, 1000},
    {"middle_scale_100", From::kStart, 600000, 100, 1000},
    {"on_a_change_scale_1", From::kStart, 4, 1, 200},
    {"lead_in_scale_5", From::kRangeStart, 1, 5, 200},
    {"past_the_end_scale_500", From::kEnd, -1000, 500, 1000},
    {"middle_scale_1", From::kStart, 1234567, 1, 700},
};

TEST_F(TraceColumnsWindows, MatchTheCursorWalkWithOneGrowingIndex) {
  TraceSeekIndex index;
  for (const WindowCase& c : kWindows) ExpectMatches(index, c);
}

TEST_F(TraceColumnsWindows, MatchTheCursorWalkWithAFreshIndex) {
  for (const WindowCase& c : kWindows) {
    TraceSeekIndex index;
    ExpectMatches(index, c);
  }
}

// Built ahead of the paints, a few checkpoints at a time, the index ends
// where the paints' own growing would end it, and every window still matches.
TEST_F(TraceColumnsWindows, AnIndexBuiltAheadMatchesOneGrownByPaints) {
  TraceSeekIndex grown;
  grown.Use(TraceSourceOf(harness_.Sampling(), settings_, Record()));
  AtomWalker walker(harness_.Sampling());
  grown.Seek(walker, INT64_MAX);
  TraceSeekIndex ahead;
  ahead.Use(TraceSourceOf(harness_.Sampling(), settings_, Record()));
  int calls = 0;
  while (ahead.Extend(walker, 3)) ++calls;
  EXPECT_GT(calls, 1);
  EXPECT_EQ(ahead.Checkpoints(), grown.Checkpoints());
  EXPECT_FALSE(ahead.Extend(walker, 3));
  for (const WindowCase& c : kWindows) ExpectMatches(ahead, c);
}

TEST_F(TraceColumnsWindows, TheIndexHoldsOneCheckpointPerBlockOfAtoms) {
  TraceSeekIndex index;
  index.Use(TraceSourceOf(harness_.Sampling(), settings_, Record()));
  AtomWalker walker(harness_.Sampling());
  index.Seek(walker, Record().Duration);
  const size_t after_end = index.Checkpoints();
  // Atoms are one or two bytes.
  const uint32_t bytes = harness_.Sampling().m_lenSamplingDataInBuffer;
  EXPECT_GE(after_end, bytes / 2 / TraceSeekIndex::kAtomsPerCheckpoint);
  EXPECT_LE(after_end, bytes / TraceSeekIndex::kAtomsPerCheckpoint + 2);
  // Seeking again, anywhere, records nothing new.
  index.Seek(walker, 0);
  index.Seek(walker, Record().Duration);
  EXPECT_EQ(index.Checkpoints(), after_end);
  // Another record (here: the same one on the other bus mapping) starts over.
  SettingsRecord other = settings_;
  other.m_AnalyzeBusChannel = 1;
  index.Use(TraceSourceOf(harness_.Sampling(), other, Record()));
  EXPECT_EQ(index.Checkpoints(), 1u);
}

TEST_F(TraceColumnsWindows, NothingWhereTheDataHaveEnded) {
  TraceSeekIndex index;
  index.Use(TraceSourceOf(harness_.Sampling(), settings_, Record()));
  // The capture ends 500 clocks after the STOP.
  const int32_t past = static_cast<int32_t>(Record().Duration) + 501;
  TraceColumns columns;
  AtomWalker walker(harness_.Sampling());
  EXPECT_FALSE(columns.Build(walker, index, WindowAt(0, past + 100, past, 10, 100), 100, 2));
  EXPECT_TRUE(columns.Build(walker, index, WindowAt(0, past + 100, past - 1, 10, 100), 100, 2));
}

}  // namespace
}  // namespace orvane::ui
