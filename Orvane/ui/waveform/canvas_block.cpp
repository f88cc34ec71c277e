#include "Orvane/ui/waveform/canvas_block.h"

#include <QFrame>
#include <QLabel>

#include <algorithm>

#include "Orvane/ui/waveform/marker_slider.h"
#include "Orvane/ui/waveform/scroll_canvas.h"

namespace {

// Below the canvas top: each row label level with its trace, a separator
// under it.
constexpr int kRowLabelY[4] = {40, 80, 120, 160};
constexpr int kSeparatorY[4] = {70, 110, 150, 190};
// Above the canvas top: M0, then M1 and M2 further up.
constexpr int kSliderAbove[3] = {18, 33, 48};

}  // namespace

CanvasBlock::CanvasBlock(QWidget* parent) : QWidget(parent) {
  setFixedHeight(kCanvasTop + ScrollCanvas::kHeight);
}

void CanvasBlock::Place(ScrollCanvas* canvas, std::array<QLabel*, 4> rows,
                        std::array<QLabel*, 3> marker_labels, std::array<MarkerSlider*, 3> sliders) {
  canvas_ = canvas;
  canvas_->setParent(this);
  rows_ = rows;
  marker_labels_ = marker_labels;
  sliders_ = sliders;
  for (int r = 0; r < 4; ++r) {
    rows_[r]->setParent(this);
    separators_[r] = new QFrame(this);
    separators_[r]->setFrameShape(QFrame::HLine);
    separators_[r]->setFrameShadow(QFrame::Sunken);
  }
  for (int m = 0; m < 3; ++m) {
    marker_labels_[m]->setParent(this);
    sliders_[m]->setParent(this);
  }
  Arrange();
}

void CanvasBlock::ShowLowerRows(bool shown) {
  for (int r = 2; r < 4; ++r) {
    rows_[r]->setVisible(shown);
    separators_[r]->setVisible(shown);
  }
}

void CanvasBlock::SetSliderPixelWidth(int pixels) {
  if (pixels == slider_pixels_) return;
  slider_pixels_ = pixels;
  Arrange();
}

void CanvasBlock::resizeEvent(QResizeEvent*) { Arrange(); }

void CanvasBlock::Arrange() {
  if (canvas_ == nullptr) return;
  const int canvas_width = std::max(width() - kLabelColumn, 1);
  const int canvas_left = kLabelColumn - kRightMargin;
  canvas_->setGeometry(canvas_left, kCanvasTop, canvas_width, ScrollCanvas::kHeight);
  for (int r = 0; r < 4; ++r) {
    const int height = rows_[r]->sizeHint().height();
    rows_[r]->setGeometry(4, kCanvasTop + kRowLabelY[r], canvas_left - 8, height);
    separators_[r]->setGeometry(4, kCanvasTop + kSeparatorY[r], canvas_left - 8, 2);
  }
  const int slider_width = std::min(slider_pixels_, canvas_width) + 2 * MarkerSlider::kMargin;
  for (int m = 0; m < 3; ++m) {
    const int y = kCanvasTop - kSliderAbove[m] + 2;
    sliders_[m]->setGeometry(canvas_left - MarkerSlider::kMargin, y, slider_width, MarkerSlider::kHeight);
    const QSize label = marker_labels_[m]->sizeHint();
    marker_labels_[m]->setGeometry(canvas_left - MarkerSlider::kMargin - label.width() - 6,
                                   y + (MarkerSlider::kHeight - label.height()) / 2, label.width(),
                                   label.height());
  }
}
