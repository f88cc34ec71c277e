#include "Orvane/ui/waveform/scroll_canvas.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

using orvane::ui::ScrollCode;

ScrollCanvas::ScrollCanvas(orvane::ui::LogicFormModel& model, QWidget* parent)
    : QWidget(parent), model_(model), bar_(new QScrollBar(Qt::Horizontal, this)) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  bar_->setObjectName(QStringLiteral("canvasScrollBar"));
  bar_->setAccessibleName(tr("Waveform position"));
  bar_->setSingleStep(orvane::ui::kScrollLineClocks);
  connect(bar_, &QScrollBar::actionTriggered, this, &ScrollCanvas::OnBarAction);
  setMinimumHeight(kHeight);
  setMaximumHeight(kHeight);
  prepare_timer_.setInterval(0);
  connect(&prepare_timer_, &QTimer::timeout, this, &ScrollCanvas::PrepareWhileIdle);
}

QSize ScrollCanvas::ClientSize() const {
  return {width(), std::max(height() - bar_->sizeHint().height(), 0)};
}

void ScrollCanvas::SetScene(const orvane::ui::WaveformScene& scene) {
  painter_.SetScene(scene);
  prepare_timer_.start();
  update();
}

void ScrollCanvas::PrepareWhileIdle() {
  // The document may have dropped the data since: the hook clears the scene.
  if (before_paint_) before_paint_();
  if (!painter_.PrepareSome()) prepare_timer_.stop();
}

void ScrollCanvas::Sync() {
  const orvane::ui::ScrollBarState state = model_.Canvas().ScrollBar();
  const QSignalBlocker quiet(bar_);
  bar_->setRange(state.minimum, std::max(state.minimum, state.maximum - state.page));
  bar_->setPageStep(std::max(state.page, 1));
  bar_->setValue(state.position);
  update();
}

void ScrollCanvas::OnBarAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: model_.CanvasScroll(ScrollCode::kLineLeft); break;
    case QAbstractSlider::SliderSingleStepAdd: model_.CanvasScroll(ScrollCode::kLineRight); break;
    case QAbstractSlider::SliderPageStepSub: model_.CanvasScroll(ScrollCode::kPageLeft); break;
    case QAbstractSlider::SliderPageStepAdd: model_.CanvasScroll(ScrollCode::kPageRight); break;
    case QAbstractSlider::SliderMove:
      model_.CanvasScroll(ScrollCode::kThumbTrack, bar_->sliderPosition());
      break;
    case QAbstractSlider::SliderToMinimum: model_.CanvasScrollTo(model_.RangeStart()); break;
    case QAbstractSlider::SliderToMaximum: model_.CanvasScrollTo(model_.RangeEnd()); break;
    default: return;
  }
  // The model decides where the window goes, not the bar's own step.
  bar_->setSliderPosition(model_.Canvas().ScrollBar().position);
  emit windowChanged();
}

void ScrollCanvas::paintEvent(QPaintEvent*) {
  if (before_paint_) before_paint_();
  const QSize client = ClientSize();
  if (client.isEmpty()) return;
  if (picture_.size() != client) picture_ = QImage(client, QImage::Format_RGB32);
  {
    QPainter off_screen(&picture_);
    painter_.Paint(off_screen, client, model_.Window());
  }
  QPainter(this).drawImage(0, 0, picture_);
}

void ScrollCanvas::resizeEvent(QResizeEvent*) {
  const int bar_height = bar_->sizeHint().height();
  bar_->setGeometry(0, height() - bar_height, width(), bar_height);
  model_.CanvasResize(ClientSize().width());
  Sync();
  emit windowChanged();
}

void ScrollCanvas::Zoom(bool in, int column) {
  const uint32_t scale = model_.Scale();
  const uint32_t step = std::max<uint32_t>(scale / 5, 1);
  model_.CanvasZoomAt(in ? scale - std::min(step, scale - 1) : scale + step, column);
}

void ScrollCanvas::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
  if (delta == 0) return;
  if (event->modifiers() & Qt::ControlModifier) {
    Zoom(delta > 0, static_cast<int>(event->position().x()));
  } else {
    model_.CanvasWheel(delta);
  }
  event->accept();
  Sync();
  emit windowChanged();
}

void ScrollCanvas::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  drag_x_ = event->position().toPoint().x();
  drag_left_ = model_.Window().left;
  setCursor(Qt::ClosedHandCursor);
}

void ScrollCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const int64_t moved = int64_t{event->position().toPoint().x() - drag_x_} * model_.Scale() / 10;
  model_.CanvasScrollTo(drag_left_ - moved);
  Sync();
  emit windowChanged();
}

void ScrollCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = false;
  unsetCursor();
}

void ScrollCanvas::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: model_.CanvasScroll(ScrollCode::kLineLeft); break;
    case Qt::Key_Right: model_.CanvasScroll(ScrollCode::kLineRight); break;
    case Qt::Key_PageUp: model_.CanvasScroll(ScrollCode::kPageLeft); break;
    case Qt::Key_PageDown: model_.CanvasScroll(ScrollCode::kPageRight); break;
    case Qt::Key_Home: model_.CanvasScrollTo(model_.RangeStart()); break;
    case Qt::Key_End: model_.CanvasScrollTo(model_.RangeEnd()); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: Zoom(true, ClientSize().width() / 2); break;
    case Qt::Key_Minus: Zoom(false, ClientSize().width() / 2); break;
    default: QWidget::keyPressEvent(event); return;
  }
  Sync();
  emit windowChanged();
}
