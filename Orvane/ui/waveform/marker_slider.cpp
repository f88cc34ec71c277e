#include "Orvane/ui/waveform/marker_slider.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

MarkerSlider::MarkerSlider(QColor colour, QWidget* parent) : QAbstractSlider(parent), colour_(colour) {
  setOrientation(Qt::Horizontal);
  setPageStep(1);
  setFocusPolicy(Qt::StrongFocus);
  setFixedHeight(kHeight);
}

void MarkerSlider::SetWindow(const orvane::ui::WaveformWindow& window) {
  left_ = window.left;
  scale_ = std::max<uint32_t>(window.scale, 1);
  // One arrow key press moves the thumb by a pixel.
  setSingleStep(static_cast<int>(std::max<uint32_t>(scale_ / 10, 1)));
  const QSignalBlocker quiet(this);
  setRange(window.left, window.right);
}

int MarkerSlider::XOf(int position) const {
  return kMargin + static_cast<int>((int64_t{position} - left_) * 10 / scale_);
}

int MarkerSlider::PositionAt(int x) const {
  const int64_t position = left_ + int64_t{x - kMargin} * scale_ / 10;
  return static_cast<int>(std::clamp<int64_t>(position, minimum(), maximum()));
}

void MarkerSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect channel = rect();
  channel.setBottom(channel.bottom() - 2);
  painter.fillRect(channel, Qt::black);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(hasFocus() ? QPen(Qt::white) : QPen(colour_.darker(150)));
  painter.setBrush(colour_);
  const int x = XOf(value());
  painter.drawEllipse(QRect(x - kMargin, 1, 2 * kMargin, channel.height() - 2));
}

void MarkerSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractSlider::mousePressEvent(event);
  setSliderDown(true);
  setSliderPosition(PositionAt(event->position().toPoint().x()));
}

void MarkerSlider::mouseMoveEvent(QMouseEvent* event) {
  if (isSliderDown()) setSliderPosition(PositionAt(event->position().toPoint().x()));
}

void MarkerSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && isSliderDown()) setSliderDown(false);
}
