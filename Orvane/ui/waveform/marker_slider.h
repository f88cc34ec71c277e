#pragma once
// The drag handle of one marker above the canvas: a black channel and an
// ellipse thumb in the marker's colour. Its positions map to pixels the
// way the canvas maps offsets, so the thumb's centre stands over the
// canvas column of the marker: the slider is wider than the visible window
// by one thumb margin on each side.

#include <QAbstractSlider>
#include <QColor>

#include "Orvane/ui/waveform_paint/waveform_window.h"

class MarkerSlider : public QAbstractSlider {
  Q_OBJECT

 public:
  static constexpr int kMargin = 5;  // half the thumb width
  static constexpr int kHeight = 14;

  MarkerSlider(QColor colour, QWidget* parent = nullptr);

  // The visible window; the range becomes [left, right].
  void SetWindow(const orvane::ui::WaveformWindow& window);
  // The x of a position within the slider.
  int XOf(int position) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int PositionAt(int x) const;

  QColor colour_;
  int32_t left_ = 0;
  uint32_t scale_ = 10;
};
