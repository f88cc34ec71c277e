#pragma once
// What every drawing step of the waveform canvas shares: the painter, the
// client size, the window, the fonts and the pixel mapping.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>

#include "Orvane/ui/waveform_paint/waveform_window.h"

namespace orvane::ui {

// Texts draw on black, lines leave what is below their gaps.
class CanvasContext {
 public:
  CanvasContext(QPainter& painter, int width, int height, const WaveformWindow& window, uint8_t period);

  QPainter& painter;
  const int width;
  const int height;
  const WaveformWindow& window;
  const uint8_t period;  // sample period code
  QFont normal;          // 7.5 points of the default face
  QFont italic;
  // Of this device, for `normal` and `italic` only.
  QFontMetrics normal_metrics;
  QFontMetrics italic_metrics;

  // The pixel mapping, held to a range the painter's integers take: far
  // left of the canvas is as good as any negative column.
  int X(int64_t offset) const {
    return static_cast<int>(std::max<int64_t>(PixelOf(window, offset, width), -kFarLeft));
  }
  // Top-left of the text at (x, y).
  void Text(int x, int y, const QString& text, QColor colour, const QFont& font);
  int TextWidth(const QString& text, const QFont& font) const;

 private:
  const QFontMetrics& Metrics(const QFont& font) const { return &font == &italic ? italic_metrics : normal_metrics; }

  static constexpr int64_t kFarLeft = 1 << 20;
};

}  // namespace orvane::ui
