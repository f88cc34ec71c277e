#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <string>

#include "Orvane/decode/detail_loader.h"
#include "Orvane/decode/waveform_overlays.h"
#include "Orvane/ui/waveform_paint/tests/trace_reference.h"
#include "Orvane/ui/waveform_paint/waveform_painter.h"

namespace orvane::ui {
namespace {

using analyzer_test::Harness;
using analyzer_test::I2CWave;

constexpr int kWidth = 1000;
constexpr int kHeight = 215;

SettingsRecord FastLimits() {
  SettingsRecord s = analyzer_test::RelaxedI2CSettings();
  s.tHD_STA = s.tSU_STA = s.tSU_STO = 60;
  s.tBUF = s.tLOW = 130;
  s.tHIGH = 60;
  s.tHD_DAT = 90;
  s.tSU_DAT = 10;
  return s;
}

// Two bytes, the second NACKed, with a short tHD_STA (20 clocks = 0.40 us).
// Offsets: SCL falls at 20, bit k's low phase starts at 20 + 105k, SCL
// rises 70 later; the ACK clocks rise at 930 and 1875; STOP at 2015.
class PainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    I2CWave wave(1, {70, 35, 10, 20, 35, 35, 70});
    wave.Start();
    wave.Byte(0xA0);
    wave.Byte(0x5A, true);
    wave.Stop();
    settings_ = FastLimits();
    out_ = harness_.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), settings_);
    ASSERT_EQ(out_.records.size(), 1u);
    ASSERT_EQ(out_.records[0].Duration, 2015u);
    LoadTransactionDetail(harness_.Sampling(), settings_, Record());
    BuildTransactionOverlays(harness_.Sampling(), settings_, Record(), &overlays_);
    painter_.SetScene({&harness_.Sampling(), &settings_, Record(), &overlays_, false});
  }
  const TransactionInfo& Record() const { return out_.records[0]; }
  WaveformWindow Window(int32_t left, uint32_t scale = 10) const {
    return testing::WindowAt(-int32_t(Record().old_SignalClock), static_cast<int32_t>(Record().Duration), left, scale,
                             kWidth);
  }
  QImage Paint(const WaveformWindow& window) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter p(&image);
    painter_.Paint(p, image.size(), window);
    return image;
  }

  Harness harness_;
  SettingsRecord settings_;
  analyzer_test::Outcome out_;
  WaveformOverlays overlays_;
  WaveformPainter painter_;
};

bool Near(QRgb pixel, QColor want, int tolerance = 0) {
  return std::abs(qRed(pixel) - want.red()) <= tolerance && std::abs(qGreen(pixel) - want.green()) <= tolerance &&
         std::abs(qBlue(pixel) - want.blue()) <= tolerance;
}

// Pixels of the box that satisfy `test`.
int Count(const QImage& image, QRect box, const std::function<bool(QRgb)>& test) {
  int n = 0;
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x) n += test(image.pixel(x, y)) ? 1 : 0;
  }
  return n;
}
int CountColour(const QImage& image, QRect box, QColor colour) {
  return Count(image, box, [colour](QRgb p) { return Near(p, colour); });
}
// Label text is smoothed and lines may lie under a translucent band: a
// colour "of that hue" then counts.
bool Cyan(QRgb p) { return qGreen(p) > 100 && qBlue(p) > 100 && qRed(p) < qGreen(p) - 40; }
bool Blue(QRgb p) { return qBlue(p) > std::max(qRed(p), qGreen(p)) + 50; }

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kBlack(0, 0, 0);

struct PixelCase {
  const char* what;
  int x, y;
  QColor colour;
  int tolerance;
};

// The window from the START point at one clock per pixel.
TEST_F(PainterTest, PixelsAtTheirPlaces) {
  WaveformWindow w = Window(0);
  w.marker_shown = {false, true, false};
  w.marker_position = {0, 300, 0};
  const QImage image = Paint(w);
  const PixelCase cases[] = {
      {"SCL high after the first rise", 110, 40, kWhite, 0},
      {"... not low", 110, 65, kBlack, 0},
      {"SCL low", 60, 65, kWhite, 0},
      {"... not high", 60, 40, kBlack, 0},
      {"SCL fall: both levels joined", 20, 52, kWhite, 0},
      {"SDA low after START", 25, 105, kWhite, 0},
      {"SDA high for bit 0", 60, 80, kWhite, 0},
      {"... not low", 60, 105, kBlack, 0},
      {"time axis", 123, 26, QColor(0xFF, 0x80, 0x00), 0},
      // alpha 0x32 of (0xFA, 0xFA, 0x3C) over black.
      {"tHD_STA band", 10, 200, QColor(49, 49, 12), 2},
      {"the band stops at the SCL fall", 20, 200, kBlack, 0},
      {"no row 2 for I2C", 300 + 7, 120, kBlack, 0},
  };
  for (const PixelCase& c : cases) {
    const QRgb got = image.pixel(c.x, c.y);
    EXPECT_TRUE(Near(got, c.colour, c.tolerance))
        << c.what << ": (" << qRed(got) << "," << qGreen(got) << "," << qBlue(got) << ")";
  }
  // The marker M1 line, dash-dot-dot: drawn along most of the column, only
  // there.
  const QColor m1(0xFF, 0xFF, 0x40);
  const int marker_pixels = CountColour(image, QRect(300, 0, 1, kHeight), m1);
  EXPECT_GT(marker_pixels, kHeight / 3);
  EXPECT_LT(marker_pixels, kHeight);
  EXPECT_EQ(CountColour(image, QRect(301, 0, 1, kHeight), m1), 0);
  // A dotted grid line every 50 columns, from the axis down.
  const QColor grid(0x50, 0x50, 0x50);
  EXPECT_GT(CountColour(image, QRect(150, 150, 1, 60), grid), 10);
  EXPECT_LT(CountColour(image, QRect(150, 150, 1, 60), grid), 60);
  // Grid times in cyan above the axis, the tHD_STA label in the band's row.
  EXPECT_GT(Count(image, QRect(100, 13, 40, 11), Cyan), 5);
  EXPECT_GT(Count(image, QRect(21, 130, 50, 12),
                  [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 120 && qBlue(p) < 140; }),
            5);
  // The byte value of byte 0 under SDA at its first bit (offset 90).
  EXPECT_GT(Count(image, QRect(90, 107, 40, 11), [](QRgb p) { return qRed(p) > 100 && qBlue(p) > 100; }), 5);
  // No transaction start line: the window starts there.
  EXPECT_EQ(CountColour(image, QRect(0, 23, kWidth, kHeight - 23), QColor(0x20, 0x40, 0xC0)), 0);
}

TEST_F(PainterTest, TheStartLineShowsOnlyWhileTheLeadInIsVisible) {
  // Under the tHD_STA band, which starts there too.
  const QImage lead_in = Paint(Window(-37));
  const int dots = Count(lead_in, QRect(37, 150, 1, 65), Blue);
  EXPECT_GT(dots, 10);
  EXPECT_LT(dots, 65);  // dotted
  EXPECT_EQ(Count(lead_in, QRect(37, 0, 1, 23), Blue), 0);
  EXPECT_EQ(Count(lead_in, QRect(0, 0, 37, kHeight), Blue), 0);
  EXPECT_EQ(Count(Paint(Window(10)), QRect(0, 0, kWidth, kHeight), Blue), 0);
}

TEST_F(PainterTest, MarkersAtTheRightEdgeButNotBeyond) {
  WaveformWindow w = Window(0);
  w.marker_shown = {true, false, true};
  w.marker_position = {1001, 0, 1000};  // right = 1000
  const QImage image = Paint(w);
  EXPECT_GT(CountColour(image, QRect(999, 0, 1, kHeight), QColor(0xFF, 0x40, 0xFF)), 50);
  EXPECT_EQ(CountColour(image, QRect(0, 0, kWidth, kHeight), QColor(0xFF, 0x40, 0x40)), 0);
}

// Columns of the box with any green label pixel.
int GreenColumns(const QImage& image, QRect box) {
  int n = 0;
  for (int x = box.left(); x <= box.right(); ++x) {
    n += Count(image, QRect(x, box.top(), 1, box.height()),
               [](QRgb p) { return qGreen(p) > 150 && qRed(p) < 80 && qBlue(p) < 80; }) > 0;
  }
  return n;
}

TEST_F(PainterTest, NackAndAckLabelsAtTheNinthClock) {
  // From 1000 the NACKed byte's ACK clock (1875) is at column 875, the
  // first byte's (930) out of view.
  const QImage nack = Paint(Window(1000));
  const int nack_columns = GreenColumns(nack, QRect(875, 92, 60, 12));
  EXPECT_EQ(GreenColumns(nack, QRect(0, 92, 875, 12)), 0);
  // From 500 the acknowledged byte's label sits at column 430.
  const QImage ack = Paint(Window(500));
  const int ack_columns = GreenColumns(ack, QRect(430, 92, 60, 12));
  EXPECT_GT(ack_columns, 5);
  EXPECT_GT(nack_columns, ack_columns + 3) << "NACK is the longer word";
}

TEST_F(PainterTest, AStopLabelNearTheRightEdgeMovesLeftOfItsLine) {
  // STOP at 2015: column 990 from 1025, too close to the edge for "[P]".
  const QImage edge = Paint(Window(1025));
  EXPECT_GT(Count(edge, QRect(960, 67, 30, 12), Cyan), 3);
  EXPECT_EQ(Count(edge, QRect(991, 67, 9, 12), Cyan), 0);
  // From 1100 it sits at column 915 and is drawn right of it.
  const QImage inside = Paint(Window(1100));
  EXPECT_GT(Count(inside, QRect(915, 67, 20, 12), Cyan), 3);
  EXPECT_EQ(Count(inside, QRect(880, 67, 34, 12), Cyan), 0);
}

TEST_F(PainterTest, ErrorTimingBandsOnlyWhenAsked) {
  // Every SCL high phase (35 clocks = 0.70 us) against a 1 us tHIGH.
  settings_.tHIGH = 100;
  BuildErrorTimingOverlays(harness_.Sampling(), settings_, Record(), &overlays_);
  ASSERT_FALSE(overlays_.clock.empty());
  // alpha 0x46 of white over black; SCL is high from 90 to 125.
  const QColor band(0x46, 0x46, 0x46);
  EXPECT_TRUE(Near(Paint(Window(0)).pixel(110, 200), kBlack));
  painter_.SetScene({&harness_.Sampling(), &settings_, Record(), &overlays_, true});
  const QImage shown = Paint(Window(0));
  EXPECT_TRUE(Near(shown.pixel(110, 200), band, 2));
  EXPECT_TRUE(Near(shown.pixel(60, 200), kBlack));
}

TEST_F(PainterTest, ForcedDisplayShowsFourLinesAndNoLabels) {
  SettingsRecord forced = settings_;
  forced.ForcedDisplay = 1;
  painter_.SetScene({&harness_.Sampling(), &forced, Record(), &overlays_, false});
  const QImage image = Paint(Window(1000));
  // S2 and S3 (the idle bus #1) stay high.
  EXPECT_TRUE(Near(image.pixel(510, 120), kWhite));
  EXPECT_TRUE(Near(image.pixel(510, 160), kWhite));
  EXPECT_TRUE(Near(image.pixel(510, 185), kBlack));
  EXPECT_EQ(GreenColumns(image, QRect(0, 92, kWidth, 12)), 0);
}

TEST_F(PainterTest, BackgroundOnlyWithoutATransactionOrBeyondTheData) {
  const auto all_black = [](const QImage& image) {
    return Count(image, image.rect(), [](QRgb p) { return !Near(p, kBlack); }) == 0;
  };
  // The capture ends 100 clocks after the STOP.
  EXPECT_TRUE(all_black(Paint(Window(2015 + 101))));
  painter_.SetScene({&harness_.Sampling(), &settings_, std::nullopt, &overlays_, false});
  EXPECT_TRUE(all_black(Paint(Window(0))));
  painter_.SetScene({});
  EXPECT_TRUE(all_black(Paint(Window(0))));
}

// Per column, the topmost and bottommost white pixel of a trace row.
std::pair<int, int> WhiteSpan(const QImage& image, int x, int top, int bottom) {
  int first = -1, last = -1;
  for (int y = top; y <= bottom; ++y) {
    if (Near(image.pixel(x, y), kWhite)) {
      if (first < 0) first = y;
      last = y;
    }
  }
  return {first, last};
}

struct DenseCase {
  const char* name;
  double at;  // fraction of the transaction
  uint32_t scale;
};

class DecimatedTraces : public ::testing::TestWithParam<DenseCase> {};

TEST_P(DecimatedTraces, MatchTheRunByRunReferenceColumnByColumn) {
  Harness harness;
  const SettingsRecord settings = analyzer_test::RelaxedI2CSettings();
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, testing::DenseI2CWrite(4000), settings);
  ASSERT_EQ(out.records.size(), 1u);
  const TransactionInfo& r = out.records[0];
  WaveformPainter painter;
  painter.SetScene({&harness.Sampling(), &settings, r, nullptr, false});
  const auto left = static_cast<int32_t>(GetParam().at * r.Duration);
  const WaveformWindow w =
      testing::WindowAt(-int32_t(r.old_SignalClock), static_cast<int32_t>(r.Duration), left, GetParam().scale, kWidth);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  QPainter p(&image);
  painter.Paint(p, image.size(), w);
  const auto ref = testing::ReferenceTrace(harness.Sampling(), settings, r, w, kWidth, 2);
  const int rows[2][2] = {{40, 65}, {80, 105}};
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < kWidth; ++x) {
      const uint8_t levels = ref.At(row, x);
      const int top = levels == 0 ? -1 : (levels & kLevelHigh) ? rows[row][0] : rows[row][1];
      const int bottom = levels == 0 ? -1 : (levels & kLevelLow) ? rows[row][1] : rows[row][0];
      ASSERT_EQ(WhiteSpan(image, x, rows[row][0], rows[row][1]), std::make_pair(top, bottom))
          << "row " << row << " column " << x;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, DecimatedTraces,
                         ::testing::Values(DenseCase{"start_500", 0.0, 500}, DenseCase{"middle_100", 0.5, 100},
                                           DenseCase{"end_500", 0.97, 500}, DenseCase{"end_10", 0.99, 10},
                                           DenseCase{"middle_1", 0.3, 1}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane::ui
