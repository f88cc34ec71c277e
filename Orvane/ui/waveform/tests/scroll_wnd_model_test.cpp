// The canvas window: set left, scroll bar, wheel, resize and zoom, each
// with its clamping, and the report of every change.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Orvane/ui/waveform/scroll_wnd_model.h"

namespace orvane::ui {
namespace {

struct Marker {
  int index;
  int32_t position;
};

// A 500-pixel canvas at scale 10 over [min, max], its left edge at `left`.
ScrollWndModel Canvas(int32_t min, int32_t max, int32_t left, std::vector<Marker> markers = {}) {
  ScrollWndModel canvas;
  canvas.Resize(500);
  canvas.SetRange(min, max);
  canvas.SetLeft(left);
  for (const Marker& m : markers) canvas.SetMarker(m.index, true, m.position);
  return canvas;
}

TEST(ScrollWndModel, EveryMoveClampsAndReportsTheWindow) {
  struct Case {
    const char* name;
    int32_t min, max, left;
    std::function<void(ScrollWndModel&)> move;
    int32_t want_left, want_right;
  };
  const std::vector<Case> cases = {
      {"set left", -20, 10000, 0, [](ScrollWndModel& c) { c.SetLeft(700); }, 700, 1200},
      {"set left beyond max stops at max", -20, 10000, 0, [](ScrollWndModel& c) { c.SetLeft(20000); },
       10000, 10500},
      {"set left in a range narrower than the page", -20, 300, 0,
       [](ScrollWndModel& c) { c.SetLeft(100); }, -20, 480},
      {"line left", -20, 10000, 100, [](ScrollWndModel& c) { c.Scroll(ScrollCode::kLineLeft); }, 96, 596},
      {"line right", -20, 10000, 100, [](ScrollWndModel& c) { c.Scroll(ScrollCode::kLineRight); }, 104,
       604},
      {"page left stops at min", -20, 10000, 100,
       [](ScrollWndModel& c) { c.Scroll(ScrollCode::kPageLeft); }, -20, 480},
      {"page right is half a page", -20, 10000, 100,
       [](ScrollWndModel& c) { c.Scroll(ScrollCode::kPageRight); }, 350, 850},
      {"thumb beyond the last page", -20, 10000, 100,
       [](ScrollWndModel& c) { c.Scroll(ScrollCode::kThumbTrack, 9800); }, 9500, 10000},
      {"thumb before min", -20, 10000, 100,
       [](ScrollWndModel& c) { c.Scroll(ScrollCode::kThumbTrack, -100); }, -20, 480},
      {"wheel notch forward", -20, 10000, 1000, [](ScrollWndModel& c) { c.Wheel(120); }, 880, 1380},
      {"wheel notch backward", -20, 10000, 1000, [](ScrollWndModel& c) { c.Wheel(-120); }, 1120, 1620},
      {"wheel at the start", -20, 10000, 0, [](ScrollWndModel& c) { c.Wheel(120); }, -20, 480},
      {"wheel at a coarse scale still moves 120 clocks", -20, 100000, 10000,
       [](ScrollWndModel& c) {
         c.SetScale(50, true);
         c.ScrollTo(10000);
         c.Wheel(120);
       },
       9880, 9880 + 2500},
      {"wheel in a range narrower than the page cannot move", -20, 300, 0,
       [](ScrollWndModel& c) { c.Wheel(-120); }, -20, 480},
      {"resize keeps left and does not clamp", -20, 10000, 9500, [](ScrollWndModel& c) { c.Resize(800); },
       9500, 10300},
      {"zoom around the pointer column", -20, 10000, 1000, [](ScrollWndModel& c) { c.ZoomAt(20, 100); },
       900, 1900},
  };
  for (const Case& c : cases) {
    ScrollWndModel canvas = Canvas(c.min, c.max, c.left);
    std::vector<std::pair<int32_t, int32_t>> reports;
    canvas.SetNotify([&reports](int32_t left, int32_t right) { reports.emplace_back(left, right); });
    c.move(canvas);
    EXPECT_EQ(canvas.Window().left, c.want_left) << c.name;
    EXPECT_EQ(canvas.Window().right, c.want_right) << c.name;
    ASSERT_FALSE(reports.empty()) << c.name;
    EXPECT_EQ(reports.back(), std::make_pair(c.want_left, c.want_right)) << c.name;
    const ScrollBarState bar = canvas.ScrollBar();
    EXPECT_EQ(bar.minimum, c.min) << c.name;
    EXPECT_EQ(bar.maximum, c.max) << c.name;
    EXPECT_EQ(bar.position, c.want_left) << c.name;
    EXPECT_EQ(bar.page, c.want_right - c.want_left) << c.name;
  }
}

TEST(ScrollWndModel, ZoomKeepsTheFirstVisibleMarkerOnItsColumn) {
  struct Case {
    const char* name;
    int32_t min, max, left;
    std::vector<Marker> markers;
    uint32_t scale;
    int32_t want_left, want_right;
  };
  const std::vector<Case> cases = {
      {"M1 visible, M0 not", -20, 10000, 1000, {{0, 900}, {1, 1200}}, 20, 800, 1800},
      {"M0 wins over M2", -20, 10000, 1000, {{0, 1100}, {2, 1400}}, 5, 1050, 1300},
      {"no marker: the left edge stays", -20, 10000, 1000, {{0, 0}}, 20, 1000, 2000},
      {"a marker one clock past the window is no focus", -20, 10000, 1000, {{1, 1501}}, 20, 1000, 2000},
      {"marker at the right edge is the focus", -20, 10000, 1000, {{1, 1500}}, 20, 500, 1500},
      {"a move below min is not made", -20, 10000, 0, {{0, 400}}, 20, 0, 1000},
      {"window at the end stays at the end", -20, 10000, 9500, {{0, 9600}}, 20, 9000, 10000},
      {"at the end with the range narrower than the page", -20, 300, 0, {}, 20, -20, 980},
      {"range narrower than the new page", -20, 800, 0, {}, 20, -20, 980},
  };
  for (const Case& c : cases) {
    ScrollWndModel canvas = Canvas(c.min, c.max, c.left, c.markers);
    const WaveformWindow before = canvas.Window();
    canvas.SetScale(c.scale, false);
    EXPECT_EQ(canvas.Window().left, c.want_left) << c.name;
    EXPECT_EQ(canvas.Window().right, c.want_right) << c.name;
    EXPECT_EQ(canvas.Window().scale, c.scale) << c.name;
    if (c.name == std::string("M1 visible, M0 not")) {
      EXPECT_EQ(PixelOf(before, 1200, 500), PixelOf(canvas.Window(), 1200, 500));
    }
  }
}

TEST(ScrollWndModel, ScaleStaysWithinItsLimits) {
  ScrollWndModel canvas = Canvas(0, 1000000, 0);
  canvas.SetScale(0, false);
  EXPECT_EQ(canvas.Window().scale, kMinScale);
  EXPECT_EQ(canvas.Window().page, 50);
  canvas.SetScale(900, false);
  EXPECT_EQ(canvas.Window().scale, kMaxScale);
  EXPECT_EQ(canvas.Window().page, 25000);
}

TEST(ScrollWndModel, TheWindowNeverOverflowsAtTheLargestRange) {
  ScrollWndModel canvas = Canvas(0, 0x7FFFF800, 0);
  canvas.SetScale(500, false);
  canvas.SetLeft(0x7FFFF800);
  EXPECT_EQ(canvas.Window().left, 0x7FFFF800);
  EXPECT_EQ(canvas.Window().right, INT32_MAX);
  canvas.Wheel(-120);
  EXPECT_EQ(canvas.Window().left, 0x7FFFF800 - 25000);
}

}  // namespace
}  // namespace orvane::ui
