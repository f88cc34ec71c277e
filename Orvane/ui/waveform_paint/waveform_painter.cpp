#include "Orvane/ui/waveform_paint/waveform_painter.h"

namespace orvane::ui {

struct WaveformPainter::Cache {};

WaveformPainter::WaveformPainter() = default;
WaveformPainter::~WaveformPainter() = default;

void WaveformPainter::SetScene(const WaveformScene& scene) { scene_ = scene; }

void WaveformPainter::Paint(QPainter& painter, QSize client, const WaveformWindow&) {
  painter.fillRect(QRect(QPoint(0, 0), client), Qt::black);
}

}  // namespace orvane::ui
