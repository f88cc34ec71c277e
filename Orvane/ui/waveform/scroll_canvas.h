#pragma once
// CScrollWnd: the waveform canvas with its horizontal scroll bar. It paints
// through the waveform painter into one off-screen picture of the client
// size and copies that once. The scroll bar, the wheel (one notch moves 120
// clocks), Ctrl+wheel (zoom around the pointer), dragging with the left
// button and the keys (Left/Right, PageUp/PageDown, Home/End, +/-) move the
// window through the form's model; `windowChanged` tells the form.

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "Orvane/ui/waveform/logic_form_model.h"
#include "Orvane/ui/waveform_paint/waveform_painter.h"

class QScrollBar;

class ScrollCanvas : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeight = 215;

  ScrollCanvas(orvane::ui::LogicFormModel& model, QWidget* parent = nullptr);

  void SetScene(const orvane::ui::WaveformScene& scene);
  // Called before every paint (the form checks that the scene's data still
  // exist).
  void SetBeforePaint(std::function<void()> before_paint) { before_paint_ = std::move(before_paint); }
  // The scroll bar after a change of the model's window.
  void Sync();
  QScrollBar* ScrollBar() const { return bar_; }
  QSize ClientSize() const;

 signals:
  void windowChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnBarAction(int action);
  void Zoom(bool in, int column);
  void PrepareWhileIdle();

  orvane::ui::LogicFormModel& model_;
  orvane::ui::WaveformPainter painter_;
  std::function<void()> before_paint_;
  QScrollBar* bar_;
  QImage picture_;
  // Extends the painter's seek index between events, so that scrolling to
  // the far end of a long transaction paints at once.
  QTimer prepare_timer_;
  bool dragging_ = false;
  int drag_x_ = 0;
  int32_t drag_left_ = 0;
};
