#include "Orvane/ui/waveform_paint/canvas_context.h"

#include <QGuiApplication>

namespace orvane::ui {

namespace {

QFont CanvasFont(bool italic) {
  QFont font = QGuiApplication::font();
  font.setPointSizeF(7.5);
  font.setWeight(QFont::Normal);
  font.setItalic(italic);
  return font;
}

}  // namespace

CanvasContext::CanvasContext(QPainter& p, int w, int h, const WaveformWindow& win, uint8_t period_code)
    : painter(p), width(w), height(h), window(win), period(period_code), normal(CanvasFont(false)),
      italic(CanvasFont(true)),
      normal_metrics(normal, p.device()),
      italic_metrics(italic, p.device()) {
  painter.setBackground(Qt::black);
}

void CanvasContext::Text(int x, int y, const QString& text, QColor colour, const QFont& font) {
  painter.setFont(font);
  painter.setPen(colour);
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.drawText(QPoint(x, y + Metrics(font).ascent()), text);
  painter.setBackgroundMode(Qt::TransparentMode);
}

int CanvasContext::TextWidth(const QString& text, const QFont& font) const {
  return Metrics(font).horizontalAdvance(text);
}

}  // namespace orvane::ui
