#pragma once
// The middle of the "Timing" tab: the canvas with the row labels and their
// separators to its left, and the three marker sliders with their labels
// above it. Placed by pixel so that each row label sits level with its
// trace and each slider position stands over the canvas column of the
// same offset.

#include <QWidget>

#include <array>

#include "Orvane/ui/waveform_paint/waveform_window.h"

class QFrame;
class QLabel;
class MarkerSlider;
class ScrollCanvas;

class CanvasBlock : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kLabelColumn = 150;  // the canvas is this much narrower than the form
  static constexpr int kRightMargin = 10;
  static constexpr int kCanvasTop = 52;

  explicit CanvasBlock(QWidget* parent = nullptr);

  // Takes ownership of the pieces.
  void Place(ScrollCanvas* canvas, std::array<QLabel*, 4> rows, std::array<QLabel*, 3> marker_labels,
             std::array<MarkerSlider*, 3> sliders);
  // Rows 3 and 4 with their separators (hidden for I2C).
  void ShowLowerRows(bool shown);
  // The sliders' length follows the visible window in pixels.
  void SetSliderPixelWidth(int pixels);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Arrange();

  ScrollCanvas* canvas_ = nullptr;
  std::array<QLabel*, 4> rows_{};
  std::array<QFrame*, 4> separators_{};
  std::array<QLabel*, 3> marker_labels_{};
  std::array<MarkerSlider*, 3> sliders_{};
  int slider_pixels_ = 0;
};
