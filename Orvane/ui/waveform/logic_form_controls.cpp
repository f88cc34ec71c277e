// The controls of the "Timing" tab and where they sit.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include "Orvane/ui/waveform/arrow_spin.h"
#include "Orvane/ui/waveform/canvas_block.h"
#include "Orvane/ui/waveform/logic_form.h"
#include "Orvane/ui/waveform/marker_slider.h"
#include "Orvane/ui/waveform/scroll_canvas.h"

namespace {

constexpr int kMinimumFormWidth = 740;
const QColor kMarkerColours[3] = {QColor(0xFF, 0x40, 0x40), QColor(0xFF, 0xFF, 0x40), QColor(0xFF, 0x40, 0xFF)};
const QColor kEdgeTextColour(0x60, 0, 0);
const QColor kNumberColour(0xFF, 0x0F, 0x7F);

QFont SizedFont(const QFont& base, qreal points, bool bold = false) {
  QFont font = base;
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

void Colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

QLabel* NewText(const char* name, const QString& tip) {
  auto* label = new QLabel;
  label->setObjectName(QString::fromLatin1(name));
  label->setToolTip(tip);
  label->setAccessibleName(tip);
  label->setFocusPolicy(Qt::TabFocus);
  label->setTextInteractionFlags(Qt::NoTextInteraction);
  return label;
}

QLineEdit* NewReadOnly(const QString& name, const QString& accessible_name, const QString& tip) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  edit->setAccessibleName(accessible_name);
  edit->setToolTip(tip);
  edit->setReadOnly(true);
  edit->setMinimumWidth(90);
  return edit;
}

QLabel* NewCaption(const QString& text, const QString& tip = {}) {
  auto* label = new QLabel(text);
  label->setToolTip(tip);
  return label;
}

}  // namespace

void LogicForm::BuildControls() {
  panel_ = new QWidget;
  panel_->setObjectName(QStringLiteral("timingPanel"));
  panel_->setMinimumWidth(kMinimumFormWidth);
  auto* layout = new QVBoxLayout(panel_);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(BuildTopRows());
  BuildCanvasBlock();
  layout->addWidget(block_);
  layout->addWidget(BuildEdgeRow());
  layout->addWidget(BuildMarkerInfo());
  layout->addStretch(1);

  // A window narrower than the form scrolls it.
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("timingScroll"));
  scroll->setAccessibleName(tr("Waveform view"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(panel_);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
}

QWidget* LogicForm::BuildTopRows() {
  const QFont small = SizedFont(font(), 8);
  auto* rows = new QWidget;
  auto* grid = new QGridLayout(rows);
  grid->setContentsMargins(0, 0, 0, 0);

  auto* number_caption = new QLabel(tr("Transaction No. "));
  number_ = new QLabel;
  number_->setObjectName(QStringLiteral("transactionNumber"));
  number_->setFont(SizedFont(font(), 8.5, true));
  number_->setFocusPolicy(Qt::TabFocus);
  number_->setAccessibleName(number_caption->text());
  Colour(number_, QPalette::WindowText, kNumberColour);
  OnActivate(number_, [this] { ToggleDebugTrace(); });

  extend_ = new QCheckBox(tr("Extend Time"));
  extend_->setObjectName(QStringLiteral("extendTime"));
  extend_->setAccessibleName(extend_->text());
  extend_->setToolTip(tr("When checked, extends the time range of the signal display."));
  connect(extend_, &QCheckBox::toggled, this, [this](bool on) { Act([this, on] { model_.SetExtend(on); }); });

  error_timing_ = new QCheckBox(tr("Show ErrorTiming"));
  error_timing_->setObjectName(QStringLiteral("showErrorTiming"));
  error_timing_->setAccessibleName(error_timing_->text());
  error_timing_->setToolTip(tr("Check here to mark I2C error timing on signal display."));
  connect(error_timing_, &QCheckBox::toggled, this, &LogicForm::ShowErrorTiming);

  const QString scale_tip = tr("Expansion is the ratio of signal display.");
  scale_slider_ = new QSlider(Qt::Horizontal);
  scale_slider_->setObjectName(QStringLiteral("scaleSlider"));
  scale_slider_->setAccessibleName(tr("Scale"));
  scale_slider_->setToolTip(scale_tip);
  scale_slider_->setRange(static_cast<int>(orvane::ui::kMinScale), static_cast<int>(orvane::ui::kMaxScale));
  scale_slider_->setSingleStep(1);
  scale_slider_->setPageStep(1);
  scale_slider_->setMinimumWidth(160);
  connect(scale_slider_, &QSlider::valueChanged, this,
          [this](int value) { Act([this, value] { model_.SetScale(static_cast<uint32_t>(value)); }); });
  scale_spin_ = new ArrowSpin(tr("Scale"));
  scale_spin_->SetTips(scale_tip);
  connect(scale_spin_, &ArrowSpin::stepped, this,
          [this](bool forward) { Act([this, forward] { model_.StepScale(forward); }); });
  scale_text_ = new QLabel;
  scale_text_->setObjectName(QStringLiteral("scaleText"));
  scale_text_->setToolTip(scale_tip);

  auto* start_caption = NewCaption(tr("Start Time"), tr("Start time of signal display. Double-click here to jump near here."));
  start_caption->setObjectName(QStringLiteral("startCaption"));
  start_time_ = NewText("startTime", start_caption->toolTip());
  start_absolute_ = NewText(
      "startAbsolute", tr("Start time of signal display(time frame). Double-click here to jump near here."));
  auto* end_caption = NewCaption(tr("End Time"), tr("End time of signal display. Double-click here to jump near here."));
  end_caption->setObjectName(QStringLiteral("endCaption"));
  end_time_ = NewText("endTime", end_caption->toolTip());
  end_absolute_ = NewText(
      "endAbsolute", tr("End time of signal display)time frame). Double-click here to jump near here."));
  for (QLabel* text : {start_time_, start_absolute_, end_time_, end_absolute_}) text->setFont(small);
  const auto to_start = [this] { Act([this] { model_.JumpToRangeStart(); }); };
  const auto to_end = [this] { Act([this] { model_.JumpToRangeEnd(); }); };
  for (QWidget* w : {static_cast<QWidget*>(start_caption), static_cast<QWidget*>(start_time_),
                     static_cast<QWidget*>(start_absolute_)}) {
    OnActivate(w, to_start);
  }
  for (QWidget* w : {static_cast<QWidget*>(end_caption), static_cast<QWidget*>(end_time_),
                     static_cast<QWidget*>(end_absolute_)}) {
    OnActivate(w, to_end);
  }

  grid->addWidget(number_caption, 0, 0);
  grid->addWidget(number_, 0, 1);
  grid->addWidget(extend_, 0, 2);
  grid->addWidget(error_timing_, 0, 3);
  grid->addWidget(scale_slider_, 0, 5);
  grid->addWidget(scale_spin_, 0, 6);
  grid->addWidget(scale_text_, 0, 7);
  grid->addWidget(start_caption, 1, 0);
  grid->addWidget(start_time_, 1, 1);
  grid->addWidget(start_absolute_, 1, 2);
  grid->addWidget(end_caption, 1, 3);
  grid->addWidget(end_time_, 1, 4);
  grid->addWidget(end_absolute_, 1, 5);
  grid->setColumnStretch(4, 1);
  needs_transaction_.insert(needs_transaction_.end(), {scale_slider_, scale_spin_, extend_, error_timing_});
  return rows;
}

void LogicForm::BuildCanvasBlock() {
  canvas_ = new ScrollCanvas(model_);
  canvas_->setObjectName(QStringLiteral("canvas"));
  canvas_->setAccessibleName(tr("Waveform"));
  canvas_->setToolTip(tr("Signal of the specified transactions is displayed (waveform)."));
  connect(canvas_, &ScrollCanvas::windowChanged, this, &LogicForm::Render);
  canvas_->SetBeforePaint([this] {
    if (!SceneDataCurrent()) canvas_->SetScene({});
  });
  for (QLabel*& row : rows_) {
    row = new QLabel;
    row->setFont(SizedFont(font(), 8, true));
  }
  std::array<QLabel*, 3> labels{};
  std::array<MarkerSlider*, 3> sliders{};
  for (int m = 0; m < 3; ++m) {
    const QString name = QStringLiteral("M%1").arg(m);
    auto* label = NewText(qPrintable(QStringLiteral("markerLabel%1").arg(m)),
                          tr("When you double-click to jump to the marker position."));
    label->setText(name);
    label->setAccessibleName(name);
    label->setAutoFillBackground(true);
    Colour(label, QPalette::Window, Qt::black);
    Colour(label, QPalette::WindowText, kMarkerColours[m]);
    OnActivate(label, [this, m] { Act([this, m] { model_.BringIntoView(m); }); });
    auto* slider = new MarkerSlider(kMarkerColours[m]);
    slider->setObjectName(QStringLiteral("markerSlider%1").arg(m));
    slider->setAccessibleName(tr("Marker %1").arg(name));
    connect(slider, &QAbstractSlider::valueChanged, this,
            [this, m](int value) { Act([this, m, value] { model_.DragMarker(m, value); }); });
    labels[m] = label;
    sliders[m] = slider;
    markers_[m].label = label;
    markers_[m].slider = slider;
    needs_transaction_.push_back(slider);
  }
  block_ = new CanvasBlock;
  block_->Place(canvas_, rows_, labels, sliders);
}

QWidget* LogicForm::BuildEdgeRow() {
  const QFont small = SizedFont(font(), 8);
  left_time_ = NewText("leftTime", tr("The time of the left edge of the waveform display. If double-click "
                                      "it, can directly specify the time."));
  left_absolute_ = NewText("leftAbsolute", tr("The time of the left edge of the waveform display(time "
                                              "frame). If double-click it, can directly specify the time."));
  right_time_ = NewText("rightTime", tr("The time of the right edge of the waveform display. If "
                                        "double-click it, can directly specify the time."));
  right_absolute_ = NewText("rightAbsolute", tr("The time of the right edge of the waveform display(time "
                                                "frame). If double-click it, can directly specify the time."));
  for (QLabel* text : {left_time_, left_absolute_, right_time_, right_absolute_}) {
    text->setFont(small);
    Colour(text, QPalette::WindowText, kEdgeTextColour);
  }
  using orvane::ui::TimeEntryTarget;
  OnActivate(left_time_, [this] { EnterTime(TimeEntryTarget::kLeftTime); });
  OnActivate(left_absolute_, [this] { EnterTime(TimeEntryTarget::kLeftAbsolute); });
  OnActivate(right_time_, [this] { EnterTime(TimeEntryTarget::kRightTime); });
  OnActivate(right_absolute_, [this] { EnterTime(TimeEntryTarget::kRightAbsolute); });

  scroll_spin_ = new ArrowSpin(tr("Scroll"));
  scroll_spin_->SetTips(tr("Scroll"));
  connect(scroll_spin_, &ArrowSpin::stepped, this,
          [this](bool forward) { Act([this, forward] { model_.StepScroll(forward); }); });
  needs_transaction_.push_back(scroll_spin_);

  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(CanvasBlock::kLabelColumn - CanvasBlock::kRightMargin, 0, CanvasBlock::kRightMargin, 0);
  line->addWidget(left_time_);
  line->addWidget(left_absolute_);
  line->addStretch(1);
  line->addWidget(scroll_spin_);
  line->addStretch(1);
  line->addWidget(right_time_);
  line->addWidget(right_absolute_);
  return row;
}

QWidget* LogicForm::BuildMarkerInfo() {
  const QFont small = SizedFont(font(), 8);
  auto* info = new QWidget;
  auto* column = new QVBoxLayout(info);
  column->setContentsMargins(0, 0, 0, 0);
  auto* group = new QGroupBox(tr("Marker Info"));
  group->setObjectName(QStringLiteral("markerInfo"));
  auto* grid = new QGridLayout(group);
  const QString time_tip = tr("The time of the Marker. If double-click it, can directly specify the time.");
  const QString absolute_tip =
      tr("The time of the Marker(time frame).  If double-click it, can directly specify the time.");
  const QString signal_tip = tr("Go to the signal changes in the forward or backward position, the marker.");
  const QString byte_tip = tr("To move forward or backward to the starting position of bytes, the marker.");
  using orvane::ui::TimeEntryTarget;
  for (int m = 0; m < 3; ++m) {
    const QString name = QStringLiteral("M%1").arg(m);
    MarkerControls& c = markers_[m];
    c.time = NewReadOnly(QStringLiteral("markerTime%1").arg(m), name + QLatin1Char(' ') + tr("usec"), time_tip);
    c.absolute = NewReadOnly(QStringLiteral("markerAbsolute%1").arg(m), name + QLatin1Char(' ') + tr("sec:ms:us"),
                             absolute_tip);
    for (QLineEdit* edit : {c.time, c.absolute}) {
      edit->setFont(small);
      edit->setStyleSheet(QStringLiteral("QLineEdit { color: %1; background: black; }%2")
                              .arg(kMarkerColours[m].name(),
                                   m == 0 ? QStringLiteral(" QLineEdit:disabled { background: grey; }") : QString()));
    }
    OnActivate(c.time, [this, m] { EnterTime(TimeEntryTarget::kMarkerTime, m); });
    OnActivate(c.absolute, [this, m] { EnterTime(TimeEntryTarget::kMarkerAbsolute, m); });
    c.signal = new ArrowSpin(name + QLatin1Char(' ') + tr("Jump change signal"));
    c.signal->SetTips(signal_tip);
    // The walk reads the sampling data, which must still be the shown one.
    connect(c.signal, &ArrowSpin::stepped, this, [this, m](bool forward) {
      if (SceneDataCurrent()) Act([this, m, forward] { model_.JumpChangeSignal(m, forward); });
    });
    c.bytes = new ArrowSpin(name + QLatin1Char(' ') + tr("Jump ByteData"));
    c.bytes->SetTips(byte_tip);
    connect(c.bytes, &ArrowSpin::stepped, this,
            [this, m](bool forward) { Act([this, m, forward] { model_.JumpByteData(m, forward); }); });

    auto* heading = NewCaption(name);
    heading->setAlignment(Qt::AlignCenter);
    auto* signal_caption = NewCaption(tr("Jump change signal"), signal_tip);
    auto* byte_caption = NewCaption(tr("Jump ByteData"), byte_tip);
    const int col = m * 3;
    grid->addWidget(heading, 0, col, 1, 2);
    grid->addWidget(c.time, 1, col);
    grid->addWidget(NewCaption(tr("usec"), time_tip), 1, col + 1);
    grid->addWidget(c.absolute, 2, col);
    grid->addWidget(NewCaption(tr("sec:ms:us"), absolute_tip), 2, col + 1);
    grid->addWidget(signal_caption, 3, col);
    grid->addWidget(c.signal, 3, col + 1);
    grid->addWidget(byte_caption, 4, col);
    grid->addWidget(c.bytes, 4, col + 1);
    if (m < 2) grid->setColumnMinimumWidth(col + 2, 12);
    byte_jump_controls_.insert(byte_jump_controls_.end(), {byte_caption, c.bytes});
    needs_transaction_.insert(needs_transaction_.end(), {c.time, c.absolute, c.signal, c.bytes});
  }
  column->addWidget(group);

  auto* differences = new QWidget;
  auto* line = new QHBoxLayout(differences);
  line->setContentsMargins(0, 0, 0, 0);
  const char* const names[3] = {QT_TR_NOOP("M0 to M1"), QT_TR_NOOP("M1 to M2"), QT_TR_NOOP("M0 to M2")};
  const QString tips[3] = {tr("Time to M1 from M0."), tr("Time to M2 from M1."), tr("Time to M2 from M0.")};
  for (int d = 0; d < 3; ++d) {
    const QString caption = tr(names[d]);
    auto* label = NewCaption(caption, tr("Time between markers."));
    differences_[d] = NewReadOnly(QStringLiteral("difference%1").arg(d), caption, tips[d]);
    differences_[d]->setFont(small);
    label->setBuddy(differences_[d]);
    line->addWidget(label);
    line->addWidget(differences_[d]);
    line->addWidget(NewCaption(tr("usec"), tips[d]));
    line->addSpacing(12);
  }
  line->addStretch(1);
  column->addWidget(differences);
  return info;
}
