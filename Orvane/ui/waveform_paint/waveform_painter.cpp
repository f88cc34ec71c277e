#include "Orvane/ui/waveform_paint/waveform_painter.h"

#include <array>

#include "Orvane/ui/waveform_paint/canvas_context.h"
#include "Orvane/ui/waveform_paint/overlay_painting.h"
#include "Orvane/ui/waveform_paint/trace_columns.h"
#include "Orvane/ui/waveform_paint/trace_seek_index.h"
#include "Orvane/ui/waveform_paint/waveform_labels.h"

namespace orvane::ui {

namespace {

const QColor kAxisColour(0xFF, 0x80, 0x00);
const QColor kGridColour(0x50, 0x50, 0x50);
const QColor kGridTextColour(0x00, 0xC0, 0xC0);
const QColor kGridTimeColour(0x40, 0xC0, 0xC0);
const QColor kStartLineColour(0x20, 0x40, 0xC0);
const std::array<QColor, kMarkerCount> kMarkerColours = {QColor(0xFF, 0x40, 0x40), QColor(0xFF, 0xFF, 0x40),
                                                         QColor(0xFF, 0x40, 0xFF)};

constexpr int kAxisY = 26;
constexpr int kStartLineTop = 23;
constexpr int kGridStep = 50;
constexpr int kGridOffsetY = 13;
constexpr int kGridTimeY = 2;
// Trace rows: y of the high and of the low level.
constexpr std::array<std::array<int, 2>, 4> kTraceLevels = {{{40, 65}, {80, 105}, {120, 145}, {160, 185}}};
// The paint walk yields to the decoder between batches of this many atoms.
constexpr uint32_t kPaintBatch = 1u << 14;

QPen LinePen(QColor colour, Qt::PenStyle style) {
  QPen pen(colour);
  pen.setWidth(1);
  pen.setStyle(style);
  return pen;
}

struct Channel {
  bool i2c = false;     // I2C bus #0 or #1, decoded
  bool forced = false;  // forced display mode: raw lines only
};

Channel ChannelOf(const SettingsRecord& settings) {
  const uint8_t channel = settings.m_AnalyzeBusChannel & 3;
  return {channel == 1 || channel == 2, settings.ForcedDisplay != 0};
}

void PaintGrid(CanvasContext& canvas, uint64_t start_clock) {
  const WaveformWindow& w = canvas.window;
  for (int px = 0; px < canvas.width; px += kGridStep) {
    canvas.painter.setPen(LinePen(kGridColour, Qt::DotLine));
    canvas.painter.drawLine(px, kAxisY, px, canvas.height);
    const int64_t p = int64_t(px) * w.scale / 10 + w.left;
    canvas.Text(px, kGridOffsetY, QString::fromStdString(GridOffsetText(p, canvas.period)), kGridTextColour,
                canvas.normal);
    if (px % 100 == 0) {
      canvas.Text(px, kGridTimeY, QString::fromStdString(GridAbsoluteText(start_clock, p, canvas.period)),
                  kGridTimeColour, canvas.normal);
    }
  }
}

// One operation per column at most: a vertical bar where the line took both
// levels, otherwise one horizontal stretch per run of columns at one level.
void PaintTraces(CanvasContext& canvas, const TraceColumns& columns) {
  QPainter& p = canvas.painter;
  for (int row = 0; row < columns.Rows(); ++row) {
    const int high = kTraceLevels[row][0];
    const int low = kTraceLevels[row][1];
    int x = 0;
    while (x < columns.Width()) {
      const uint8_t levels = columns.Levels(row, x);
      if (levels == (kLevelLow | kLevelHigh)) {
        p.fillRect(QRect(x, high, 1, low - high + 1), Qt::white);
        ++x;
        continue;
      }
      int end = x + 1;
      while (end < columns.Width() && columns.Levels(row, end) == levels) ++end;
      if (levels != 0) p.fillRect(QRect(x, levels == kLevelHigh ? high : low, end - x, 1), Qt::white);
      x = end;
    }
  }
}

void PaintMarkers(CanvasContext& canvas) {
  const WaveformWindow& w = canvas.window;
  for (int m = 0; m < kMarkerCount; ++m) {
    const int32_t at = w.marker_position[m];
    if (!w.marker_shown[m] || at < w.left || at > w.right) continue;
    canvas.painter.setPen(LinePen(kMarkerColours[m], Qt::DashDotDotLine));
    canvas.painter.drawLine(canvas.X(at), 0, canvas.X(at), canvas.height);
  }
}

}  // namespace

struct WaveformPainter::Cache {
  TraceSeekIndex index;
  TraceColumns columns;
};

WaveformPainter::WaveformPainter() : cache_(std::make_unique<Cache>()) {}
WaveformPainter::~WaveformPainter() = default;

void WaveformPainter::SetScene(const WaveformScene& scene) { scene_ = scene; }

bool WaveformPainter::Drawable() const {
  return scene_.sampling != nullptr && scene_.settings != nullptr && scene_.record &&
         scene_.sampling->HasBuffer() && scene_.sampling->Records().Head() != kNoRecord;
}

bool WaveformPainter::PrepareSome() {
  if (!Drawable()) return false;
  // About a millisecond of walking per call.
  constexpr uint32_t kCheckpointsPerCall = 256;
  cache_->index.Use(TraceSourceOf(*scene_.sampling, *scene_.settings, *scene_.record));
  AtomWalker walker(*scene_.sampling, kPaintBatch);
  return cache_->index.Extend(walker, kCheckpointsPerCall);
}

void WaveformPainter::Paint(QPainter& painter, QSize client, const WaveformWindow& window) {
  painter.fillRect(QRect(QPoint(0, 0), client), Qt::black);
  if (!Drawable() || client.isEmpty() || window.scale == 0) return;
  CSamplingObj& sampling = *scene_.sampling;
  const SettingsRecord& settings = *scene_.settings;
  const TransactionInfo& record = *scene_.record;
  const Channel channel = ChannelOf(settings);
  const bool decoded_i2c = channel.i2c && !channel.forced;

  cache_->index.Use(TraceSourceOf(sampling, settings, record));
  {
    AtomWalker walker(sampling, kPaintBatch);
    if (!cache_->columns.Build(walker, cache_->index, window, client.width(), decoded_i2c ? 2 : 4)) return;
  }

  CanvasContext canvas(painter, client.width(), client.height(), window, settings.SamplePeriodCode);
  painter.setPen(LinePen(kAxisColour, Qt::SolidLine));
  painter.drawLine(canvas.X(window.left), kAxisY, canvas.X(window.right), kAxisY);
  PaintGrid(canvas, record.StartClock);
  if (window.left < 0 && 0 < window.right) {
    painter.setPen(LinePen(kStartLineColour, Qt::DotLine));
    painter.drawLine(canvas.X(0), kStartLineTop, canvas.X(0), client.height());
  }
  PaintTraces(canvas, cache_->columns);
  PaintMarkers(canvas);

  const WaveformOverlays* overlays = scene_.overlays;
  if (decoded_i2c && overlays != nullptr) {
    PaintConditionLabels(canvas, overlays->conditions);
    PaintAckLabels(canvas, overlays->acks);
  }
  if (overlays != nullptr) {
    PaintMarks(canvas, overlays->timing, MarkList::kTiming);
    if (scene_.show_error_timing) {
      PaintMarks(canvas, overlays->clock, MarkList::kClock);
      PaintMarks(canvas, overlays->data, MarkList::kData);
    }
  }
  const TransactionDetail& detail = sampling.Detail();
  if (!channel.forced && detail.index == static_cast<int32_t>(record.Index)) {
    PaintByteValues(canvas, detail, channel.i2c ? ByteRows::kI2C : ByteRows::kSpi);
  }
}

}  // namespace orvane::ui
