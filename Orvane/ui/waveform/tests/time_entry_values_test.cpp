// The time texts of the waveform view and what the time entry dialogs read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orvane/ui/waveform/time_entry_values.h"
#include "Orvane/ui/waveform/time_texts.h"

namespace orvane::ui {
namespace {

TEST(TimeTexts, FormatSpansAbsoluteTimesRangesAndScales) {
  struct Case {
    std::string got, want;
  };
  const std::vector<Case> cases = {
      {SpanText(0), "0.00"},
      {SpanText(-40), "-0.40"},
      {SpanText(123456), "1234.56"},
      {SpanText(-7), "-0.07"},
      {SpanText(INT64_MIN), "-92233720368547758.08"},
      {AbsoluteText(0), "0:000:000.00"},
      {AbsoluteText(100200340), "1:002:003.40"},
      {AbsoluteText(1999960), "0:019:999.60"},
      {RangeStartText(0), "0.00 ~ "},
      {RangeStartText(-40), "-0.40 ~ "},
      {RangeEndText(6000), "60.00 (us)"},
      {ScaleText(10), " Scale : 1/1.0 "},
      {ScaleText(5), " Scale : 1/0.5 "},
      {ScaleText(500), " Scale : 1/50.0 "},
      {ScaleText(123), " Scale : 1/12.3 "},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(TimeEntryValues, MicrosecondTextsReadAsHundredths) {
  struct Case {
    const char* text;
    int64_t value;
  };
  const std::vector<Case> cases = {
      {"-0.5", -50},     {"12", 1200},     {"12.345", 1234}, {"", 0},
      {"   ", 0},        {" 7.05\t", 705}, {"-12.5", -1250}, {"0.123", 12},
      {".5", 50},        {"-", 0},         {"abc", 0},       {"3x.7", 370},
      {"1.x", 100},      {"+2.1", 210},    {"5.", 500},
      {"99999999999999999999999", 9223372036854775700},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseSpanTime(c.text), c.value) << '"' << c.text << '"';
}

TEST(TimeEntryValues, AbsoluteFieldsReadAndSplit) {
  struct Case {
    const char *seconds, *milliseconds, *microseconds;
    uint64_t value;
  };
  const std::vector<Case> cases = {
      {"1", "002", "003.40", 100200340},
      {"1", "002", "", 100200000},
      {"", "", "", 0},
      {"0", "1500", "", 150000000},
      {"x", "2", "3", 200300},
      {" 2 ", " 0 ", " 999.99 ", 200099999},
      {"0", "0", "1.5", 150},
      {"-1", "0", "0", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseAbsoluteTime(c.seconds, c.milliseconds, c.microseconds), c.value) << c.seconds;
  }
  const AbsoluteFields fields = SplitAbsoluteTime(100200340);
  EXPECT_EQ(fields.seconds, "1");
  EXPECT_EQ(fields.milliseconds, "002");
  EXPECT_EQ(fields.microseconds, "003.40");
  const AbsoluteFields zero = SplitAbsoluteTime(0);
  EXPECT_EQ(zero.seconds + ":" + zero.milliseconds + ":" + zero.microseconds, "0:000:000.00");
}

TEST(TimeEntryValues, TheLimitsThemselvesAreAccepted) {
  struct Case {
    int64_t value, minimum, maximum;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {-40, -40, 5000, true}, {5000, -40, 5000, true}, {-41, -40, 5000, false},
      {5001, -40, 5000, false}, {0, 0, 0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TimeInRange(c.value, c.minimum, c.maximum), c.accepted) << c.value;
    if (c.value >= 0 && c.minimum >= 0) {
      EXPECT_EQ(TimeInRange<uint64_t>(c.value, c.minimum, c.maximum), c.accepted) << c.value;
    }
  }
}

}  // namespace
}  // namespace orvane::ui
