// The "Timing" form without widgets: range, texts, time entries, markers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Orvane/ui/waveform/logic_form_model.h"

namespace orvane::ui {
namespace {

constexpr uint64_t kStartClock = 1000000;

struct Shape {
  uint16_t lead_in = 20;
  uint32_t duration = 3000;
  std::optional<uint64_t> next_gap;  // clocks from this StartClock to the next
};

class LogicFormModelTest : public ::testing::Test {
 protected:
  LogicFormModelTest() {
    settings_.SamplePeriodCode = 2;
    settings_.m_AnalyzeBusChannel = 1;
  }
  // A 500-pixel canvas (500 clocks at scale 10) showing one transaction.
  LogicFormModel& Show(const Shape& shape, bool extend = false) {
    model_->CanvasResize(500);
    model_->SetExtend(extend);
    ShownTransaction shown;
    shown.record.Index = 7;
    shown.record.StartClock = kStartClock;
    shown.record.Duration = shape.duration;
    shown.record.old_SignalClock = shape.lead_in;
    if (shape.next_gap) shown.next_start_clock = kStartClock + *shape.next_gap;
    shown.byte_offsets = offsets_;
    model_->SetTransaction(shown);
    return *model_;
  }

  SettingsRecord settings_ = DefaultSettingsRecord();
  std::vector<uint32_t> offsets_ = {10, 50, 90};
  void Fresh() { model_ = std::make_unique<LogicFormModel>(settings_); }

  std::unique_ptr<LogicFormModel> model_ = std::make_unique<LogicFormModel>(settings_);
};

TEST_F(LogicFormModelTest, TextsRightAfterASelection) {
  const LogicFormTexts texts = Show({}).Texts();
  EXPECT_EQ(texts.number, "7");
  EXPECT_EQ(texts.start_time, "-0.40 ~ ");
  EXPECT_EQ(texts.start_absolute, "0:019:999.60");
  EXPECT_EQ(texts.end_time, "60.00 (us)");
  EXPECT_EQ(texts.end_absolute, "0:020:060.00");
  EXPECT_EQ(texts.left_time, "0.00 usec");
  EXPECT_EQ(texts.left_absolute, "(0:020:000.00)");
  EXPECT_EQ(texts.right_time, "10.00 usec");
  EXPECT_EQ(texts.right_absolute, "(0:020:010.00)");
  EXPECT_EQ(texts.scale, " Scale : 1/1.0 ");
  for (int m = 0; m < kMarkerCount; ++m) {
    EXPECT_EQ(texts.marker_time[m], "0.00");
    EXPECT_EQ(texts.marker_absolute[m], "0:020:000.00");
    EXPECT_EQ(texts.differences[m], "0.00");
    EXPECT_FALSE(model_->OutOfView(m));
    EXPECT_TRUE(model_->Window().marker_shown[m]);
  }
  EXPECT_EQ(model_->SliderPixelWidth(), 500);
}

TEST_F(LogicFormModelTest, RangeByLeadInExtendAndWidth) {
  struct Case {
    const char* name;
    Shape shape;
    bool extend;
    int32_t start, end, left;
    SpinRange spin;
    const char* start_text;
  };
  const std::vector<Case> cases = {
      {"no lead-in", {0, 3000, {}}, false, 0, 3000, 0, {0, 2500}, "0.00 ~ "},
      {"lead-in of 20 clocks", {20, 3000, {}}, false, -20, 3000, 0, {-20, 2500}, "-0.40 ~ "},
      {"narrower than the canvas", {20, 300, {}}, false, -20, 300, -20, {-20, 300}, "-0.40 ~ "},
      {"extended to the next", {20, 3000, 5000}, true, -20, 5000, 0, {-20, 4500}, "-0.40 ~ "},
      {"extend unchecked", {20, 3000, 5000}, false, -20, 3000, 0, {-20, 2500}, "-0.40 ~ "},
      {"extend on the last transaction", {20, 3000, {}}, true, -20, 3000, 0, {-20, 2500}, "-0.40 ~ "},
      {"a long gap is cut", {20, 3000, 0x90000000ull}, true, -20, kMaxRangeEnd, 0,
       {-20, kMaxRangeEnd - 500}, "-0.40 ~ "},
  };
  for (const Case& c : cases) {
    Fresh();
    Show(c.shape, c.extend);
    EXPECT_EQ(model_->RangeStart(), c.start) << c.name;
    EXPECT_EQ(model_->RangeEnd(), c.end) << c.name;
    EXPECT_EQ(model_->Left(), c.left) << c.name;
    EXPECT_EQ(model_->ScrollSpinRange().minimum, c.spin.minimum) << c.name;
    EXPECT_EQ(model_->ScrollSpinRange().maximum, c.spin.maximum) << c.name;
    EXPECT_EQ(model_->Texts().start_time, c.start_text) << c.name;
    EXPECT_EQ(model_->Window().min, c.start) << c.name;
    EXPECT_EQ(model_->Window().max, c.end) << c.name;
  }
}

TEST_F(LogicFormModelTest, ExtendToggleKeepsTheMarkersAndMovesTheEnd) {
  Show({20, 3000, 5000});
  model_->DragMarker(1, 100);
  model_->SetExtend(true);
  EXPECT_EQ(model_->RangeEnd(), 5000);
  EXPECT_EQ(model_->Marker(1), 100);
  model_->SetExtend(false);
  EXPECT_EQ(model_->RangeEnd(), 3000);
}

TEST_F(LogicFormModelTest, ActionsMoveTheWindow) {
  struct Case {
    const char* name;
    Shape shape;
    std::function<void(LogicFormModel&)> act;
    int32_t left;
    const char* left_text;
  };
  const std::vector<Case> cases = {
      {"start time at the lead-in", {}, [](LogicFormModel& m) { m.JumpToRangeStart(); }, -20, "-0.40 usec"},
      {"end time", {}, [](LogicFormModel& m) { m.JumpToRangeEnd(); }, 2500, "50.00 usec"},
      {"end time in a narrow range", {20, 300, {}}, [](LogicFormModel& m) { m.JumpToRangeEnd(); }, -20,
       "-0.40 usec"},
      {"scroll spin forward", {}, [](LogicFormModel& m) { m.StepScroll(true); }, 1, "0.02 usec"},
      {"scroll spin back", {}, [](LogicFormModel& m) { m.StepScroll(false); }, -1, "-0.02 usec"},
      {"scroll spin back at the start", {},
       [](LogicFormModel& m) {
         m.JumpToRangeStart();
         m.StepScroll(false);
       },
       -20, "-0.40 usec"},
      {"scroll spin forward at the end", {},
       [](LogicFormModel& m) {
         m.JumpToRangeEnd();
         m.StepScroll(true);
       },
       2500, "50.00 usec"},
      {"scroll spin in a narrow range", {20, 300, {}}, [](LogicFormModel& m) { m.StepScroll(true); }, -20,
       "-0.40 usec"},
      {"wheel notch", {},
       [](LogicFormModel& m) {
         m.CanvasScrollTo(1000);
         m.CanvasWheel(120);
       },
       880, "17.60 usec"},
      {"wheel notch at scale 50", {20, 100000, {}},
       [](LogicFormModel& m) {
         m.SetScale(50);
         m.CanvasScrollTo(10000);
         m.CanvasWheel(120);
       },
       9880, "197.60 usec"},
      {"scroll bar page right", {}, [](LogicFormModel& m) { m.CanvasScroll(ScrollCode::kPageRight); }, 250,
       "5.00 usec"},
      {"search hit", {}, [](LogicFormModel& m) { m.SearchHit(1000); }, 950, "19.00 usec"},
      {"search hit near the end", {}, [](LogicFormModel& m) { m.SearchHit(2900); }, 2500, "50.00 usec"},
      {"search hit in the lead-in", {}, [](LogicFormModel& m) { m.SearchHit(10); }, -20, "-0.40 usec"},
  };
  for (const Case& c : cases) {
    Fresh();
    Show(c.shape);
    c.act(*model_);
    EXPECT_EQ(model_->Left(), c.left) << c.name;
    EXPECT_EQ(model_->Window().left, c.left) << c.name;
    EXPECT_EQ(model_->Texts().left_time, c.left_text) << c.name;
  }
}

TEST_F(LogicFormModelTest, MarkerDifferencesAreSigned) {
  Show({});
  model_->DragMarker(1, 100);
  model_->DragMarker(0, 300);
  const LogicFormTexts texts = model_->Texts();
  EXPECT_EQ(texts.marker_time[0], "6.00");
  EXPECT_EQ(texts.marker_time[1], "2.00");
  EXPECT_EQ(texts.differences[0], "-4.00");
  EXPECT_EQ(texts.differences[1], "-2.00");
  EXPECT_EQ(texts.differences[2], "-6.00");
  model_->DragMarker(2, -20);
  EXPECT_EQ(model_->Texts().marker_time[2], "-0.40");
  EXPECT_EQ(model_->Texts().marker_absolute[2], "0:019:999.60");
  EXPECT_EQ(model_->Texts().differences[2], "-6.40");
}

TEST_F(LogicFormModelTest, ScaleSliderAndSpinWithinTheirLimits) {
  struct Case {
    std::function<void(LogicFormModel&)> act;
    uint32_t scale;
    const char* text;
  };
  const std::vector<Case> cases = {
      {[](LogicFormModel& m) { m.SetScale(5); }, 5, " Scale : 1/0.5 "},
      {[](LogicFormModel& m) { m.SetScale(500); }, 500, " Scale : 1/50.0 "},
      {[](LogicFormModel& m) {
         m.SetScale(500);
         m.StepScale(true);
       },
       500, " Scale : 1/50.0 "},
      {[](LogicFormModel& m) {
         m.SetScale(1);
         m.StepScale(false);
       },
       1, " Scale : 1/0.1 "},
      {[](LogicFormModel& m) { m.StepScale(true); }, 11, " Scale : 1/1.1 "},
      {[](LogicFormModel& m) { m.StepScale(false); }, 9, " Scale : 1/0.9 "},
  };
  for (const Case& c : cases) {
    Fresh();
    Show({20, 1000000, {}});
    c.act(*model_);
    EXPECT_EQ(model_->Scale(), c.scale) << c.text;
    EXPECT_EQ(model_->Texts().scale, c.text);
    EXPECT_EQ(model_->Width(), static_cast<int32_t>(500 * c.scale / 10)) << c.text;
  }
}

TEST_F(LogicFormModelTest, ZoomKeepsM1OnItsColumn) {
  Show({20, 100000, {}});
  model_->CanvasScrollTo(1000);
  model_->DragMarker(1, 1200);
  ASSERT_TRUE(model_->OutOfView(0));
  const int64_t column = PixelOf(model_->Window(), 1200, 500);
  for (const uint32_t scale : {20u, 37u, 3u, 10u}) {
    model_->SetScale(scale);
    EXPECT_LE(std::abs(PixelOf(model_->Window(), 1200, 500) - column), 1) << scale;
    EXPECT_FALSE(model_->OutOfView(1)) << scale;
  }
}

TEST_F(LogicFormModelTest, TimeEntriesOpenWithTheirLimits) {
  struct Case {
    TimeEntryTarget target;
    int marker;
    TimeEntryKind kind;
    int64_t minimum, maximum, initial;
  };
  const std::vector<Case> cases = {
      {TimeEntryTarget::kLeftTime, 0, TimeEntryKind::kSpan, -40, 5000, 0},
      {TimeEntryTarget::kLeftAbsolute, 0, TimeEntryKind::kAbsolute, 1999960, 2005000, 2000000},
      {TimeEntryTarget::kRightTime, 0, TimeEntryKind::kSpan, 960, 6000, 1000},
      {TimeEntryTarget::kRightAbsolute, 0, TimeEntryKind::kAbsolute, 2000960, 2006000, 2001000},
      {TimeEntryTarget::kMarkerTime, 1, TimeEntryKind::kSpan, -40, 6000, 200},
      {TimeEntryTarget::kMarkerAbsolute, 1, TimeEntryKind::kAbsolute, 1999960, 2006000, 2000200},
      {TimeEntryTarget::kMarkerAbsolute, 2, TimeEntryKind::kAbsolute, 1999960, 2006000, 2000000},
  };
  EXPECT_FALSE(model_->RequestTimeEntry(TimeEntryTarget::kLeftTime).has_value());
  Show({});
  model_->DragMarker(1, 100);
  for (const Case& c : cases) {
    const auto request = model_->RequestTimeEntry(c.target, c.marker);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->kind, c.kind);
    if (c.kind == TimeEntryKind::kSpan) {
      EXPECT_EQ(request->span_minimum, c.minimum);
      EXPECT_EQ(request->span_maximum, c.maximum);
      EXPECT_EQ(request->span_initial, c.initial);
    } else {
      EXPECT_EQ(request->abs_minimum, static_cast<uint64_t>(c.minimum));
      EXPECT_EQ(request->abs_maximum, static_cast<uint64_t>(c.maximum));
      EXPECT_EQ(request->abs_initial, static_cast<uint64_t>(c.initial));
    }
  }
  EXPECT_FALSE(model_->RequestTimeEntry(TimeEntryTarget::kMarkerTime, 3).has_value());
}

TEST_F(LogicFormModelTest, EnteredTimesMoveTheWindowOrTheMarker) {
  struct Case {
    const char* name;
    TimeEntryTarget target;
    int marker;
    int64_t value;
    int32_t left;
    int32_t marker_at;
  };
  const std::vector<Case> cases = {
      {"left edge", TimeEntryTarget::kLeftTime, 0, 1001, 500, 0},
      {"left edge in the lead-in truncates", TimeEntryTarget::kLeftTime, 0, -41, -20, 0},
      {"right edge", TimeEntryTarget::kRightTime, 0, 2000, 500, 0},
      {"left edge absolute", TimeEntryTarget::kLeftAbsolute, 0, 2001000, 500, 0},
      {"right edge absolute", TimeEntryTarget::kRightAbsolute, 0, 2002000, 500, 0},
      {"marker inside the window", TimeEntryTarget::kMarkerTime, 0, 400, 0, 200},
      {"marker beyond the window", TimeEntryTarget::kMarkerTime, 0, 4000, 1750, 2000},
      {"marker near the end", TimeEntryTarget::kMarkerTime, 1, 5800, 2500, 2900},
      {"marker absolute", TimeEntryTarget::kMarkerAbsolute, 2, 2003000, 1250, 1500},
      {"marker at the range start", TimeEntryTarget::kMarkerTime, 0, -40, -20, -20},
  };
  for (const Case& c : cases) {
    Fresh();
    Show({});
    const auto request = model_->RequestTimeEntry(c.target, c.marker);
    ASSERT_TRUE(request.has_value()) << c.name;
    if (request->kind == TimeEntryKind::kSpan) {
      model_->ApplySpanEntry(*request, c.value);
    } else {
      model_->ApplyAbsoluteEntry(*request, static_cast<uint64_t>(c.value));
    }
    EXPECT_EQ(model_->Left(), c.left) << c.name;
    EXPECT_EQ(model_->Marker(c.marker), c.marker_at) << c.name;
    if (request->target == TimeEntryTarget::kMarkerTime || request->target == TimeEntryTarget::kMarkerAbsolute) {
      EXPECT_FALSE(model_->OutOfView(c.marker)) << c.name;
    }
  }
}

TEST_F(LogicFormModelTest, MarkersComeIntoViewFromEitherSide) {
  struct Case {
    const char* name;
    int32_t window_left;
    int32_t marker;
    int32_t left;
  };
  const std::vector<Case> cases = {
      {"visible: nothing moves", 1000, 1200, 1000},
      {"near the start", 1000, 100, 0},
      {"in the lead-in", 1000, -10, -100},
      {"middle", 0, 1500, 1250},
      {"near the end", 0, 2900, 2500},
  };
  for (const Case& c : cases) {
    Fresh();
    Show({100, 3000, {}});
    model_->CanvasScrollTo(c.window_left);
    model_->DragMarker(0, c.marker);
    model_->CanvasScrollTo(c.window_left);
    model_->BringIntoView(0);
    EXPECT_EQ(model_->Left(), c.left) << c.name;
    EXPECT_FALSE(model_->OutOfView(0)) << c.name;
  }
}

TEST_F(LogicFormModelTest, ByteDataJumps) {
  struct Case {
    int32_t from;
    bool forward;
    int32_t to;
  };
  const std::vector<Case> cases = {
      {0, true, 10},   {-5, true, 10},   {10, true, 50},  {89, true, 90},  {90, true, 90},
      {200, true, 200}, {95, false, 90}, {50, false, 10}, {51, false, 50}, {10, false, 10},
      {5, false, 5},
  };
  for (const Case& c : cases) {
    Fresh();
    Show({});
    model_->DragMarker(0, c.from);
    model_->JumpByteData(0, c.forward);
    EXPECT_EQ(model_->Marker(0), c.to) << c.from << (c.forward ? " forward" : " backward");
  }
  offsets_.clear();
  Fresh();
  Show({});
  model_->JumpByteData(0, true);
  EXPECT_EQ(model_->Marker(0), 0);
}

TEST_F(LogicFormModelTest, NothingHappensBeforeTheFirstTransaction) {
  model_->CanvasResize(500);
  model_->StepScroll(true);
  model_->SetScale(50);
  model_->DragMarker(0, 100);
  model_->JumpByteData(0, true);
  model_->SearchHit(100);
  EXPECT_EQ(model_->Marker(0), 0);
  EXPECT_EQ(model_->Marker(2), 0);
  EXPECT_EQ(model_->Scale(), 10u);
  EXPECT_EQ(model_->Texts().left_time, "");
}

}  // namespace
}  // namespace orvane::ui
