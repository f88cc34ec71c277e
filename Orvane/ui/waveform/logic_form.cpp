#include "Orvane/ui/waveform/logic_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "Orvane/decode/waveform_overlays.h"
#include "Orvane/ui/dialogs/dialog_widgets.h"
#include "Orvane/ui/waveform/arrow_spin.h"
#include "Orvane/ui/waveform/canvas_block.h"
#include "Orvane/ui/waveform/dlg_input_time_sec.h"
#include "Orvane/ui/waveform/dlg_input_time_span.h"
#include "Orvane/ui/waveform/logic_form_texts.h"
#include "Orvane/ui/waveform/marker_slider.h"
#include "Orvane/ui/waveform/scroll_canvas.h"
#include "platform/trace.h"

namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

bool IsI2cChannel(const orvane::SettingsRecord& settings) {
  const uint8_t channel = settings.m_AnalyzeBusChannel & 3;
  return channel == 1 || channel == 2;
}

}  // namespace

LogicForm::LogicForm(orvane::COrvaneDoc& doc, const orvane::AppState& app, QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      app_(app),
      model_(app.settings),
      run_dialog_([](QDialog& dialog) { return dialog.exec(); }) {
  setObjectName(QStringLiteral("logicForm"));
  BuildControls();
  ApplyMode();
  for (QWidget* control : needs_transaction_) control->setEnabled(false);
  Render();
}

// The controls go first: they refer to the model and the overlays.
LogicForm::~LogicForm() { qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly)); }

void LogicForm::OnActivate(QWidget* widget, std::function<void()> action) {
  widget->installEventFilter(this);
  activations_.emplace_back(widget, std::move(action));
}

bool LogicForm::eventFilter(QObject* watched, QEvent* event) {
  const bool double_click = event->type() == QEvent::MouseButtonDblClick;
  bool key = false;
  if (event->type() == QEvent::KeyPress) {
    const int pressed = static_cast<QKeyEvent*>(event)->key();
    key = pressed == Qt::Key_Return || pressed == Qt::Key_Enter || pressed == Qt::Key_Space;
  }
  if (double_click || key) {
    for (const auto& [object, action] : activations_) {
      if (object != watched) continue;
      action();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// Which lines the rows show and which controls exist follows the capture
// kind; applied again with each transaction, so a file with other settings
// is labelled right even before the tab set is rebuilt.
void LogicForm::ApplyMode() {
  const orvane::SettingsRecord& settings = app_.settings;
  using namespace logic_form_texts;
  const bool forced = settings.ForcedDisplay != 0;
  const bool i2c = !forced && IsI2cChannel(settings);
  const auto& rows = forced ? kForcedRows : (i2c ? kI2cRows : kSpiRows);
  for (int r = 0; r < 4; ++r) {
    rows_[r]->setText(TranslatedText(kContext, rows[r]));
    rows_[r]->setEnabled(true);
  }
  if (!forced && !i2c && settings.SpiSsMode == 0) rows_[0]->setEnabled(false);
  block_->ShowLowerRows(!i2c);
  for (QWidget* control : byte_jump_controls_) control->setVisible(!forced);
  error_timing_->setVisible(i2c);
  extend_->setVisible(!forced);
}

void LogicForm::ShowTransaction(const orvane::TransactionInfo& record, uint32_t) {
  const orvane::SettingsRecord& settings = app_.settings;
  orvane::CSamplingObj* sampling = doc_.Sampling();
  if (settings.MonitorMode != 0 || sampling == nullptr) return;
  ApplyMode();
  {
    const QSignalBlocker quiet(error_timing_);
    error_timing_->setChecked(false);
  }
  overlays_ = {};
  if (IsI2cChannel(settings) && settings.ForcedDisplay == 0) {
    orvane::BuildTransactionOverlays(*sampling, settings, record, &overlays_);
  }
  const orvane::TransactionDetail& detail = sampling->Detail();
  if (detail.index == static_cast<int32_t>(record.Index)) {
    byte_offsets_ = detail.offsets;
  } else {
    byte_offsets_.clear();
  }
  orvane::ui::ShownTransaction shown;
  shown.record = record;
  if (record.Next != orvane::kNoRecord) {
    shown.next_start_clock = sampling->Records().At(record.Next).StartClock;
  }
  shown.byte_offsets = byte_offsets_;
  shown.sampling = sampling;
  shown_sampling_ = sampling;
  for (QWidget* control : needs_transaction_) control->setEnabled(true);
  model_.SetTransaction(shown);
  UpdateScene();
  Render();
}

void LogicForm::SearchHit(int32_t clock_offset) { Act([this, clock_offset] { model_.SearchHit(clock_offset); }); }

bool LogicForm::SceneDataCurrent() const {
  return shown_sampling_ == nullptr || doc_.Sampling() == shown_sampling_;
}

void LogicForm::UpdateScene() {
  orvane::ui::WaveformScene scene;
  if (model_.HasTransaction() && SceneDataCurrent()) {
    scene.sampling = shown_sampling_;
    scene.settings = &app_.settings;
    scene.record = model_.Shown().record;
    scene.overlays = &overlays_;
    scene.show_error_timing = error_timing_->isChecked();
  }
  canvas_->SetScene(scene);
}

void LogicForm::ShowErrorTiming(bool shown) {
  if (!model_.HasTransaction() || !SceneDataCurrent()) return;
  if (shown) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    orvane::BuildErrorTimingOverlays(*shown_sampling_, app_.settings, model_.Shown().record, &overlays_);
    QApplication::restoreOverrideCursor();
  } else {
    overlays_.clock.clear();
    overlays_.data.clear();
  }
  UpdateScene();
}

void LogicForm::EnterTime(orvane::ui::TimeEntryTarget target, int marker) {
  const std::optional<orvane::ui::TimeEntryRequest> request = model_.RequestTimeEntry(target, marker);
  if (!request) return;
  using namespace logic_form_texts;
  const EntryTexts& texts = kEntries[static_cast<size_t>(target)];
  const QString name = QStringLiteral("M%1").arg(marker);
  const bool marker_entry = target == orvane::ui::TimeEntryTarget::kMarkerTime ||
                            target == orvane::ui::TimeEntryTarget::kMarkerAbsolute;
  const QString first = marker_entry ? name : TranslatedText(kContext, texts.caption);
  QString prompt = TranslatedText(kContext, texts.prompt);
  if (marker_entry) prompt = prompt.arg(name);
  if (request->kind == orvane::ui::TimeEntryKind::kSpan) {
    DlgInputTimeSpan dialog(first + QLatin1Char(' ') + TranslatedText(kContext, kSpanTitle), prompt,
                            request->span_minimum, request->span_maximum, request->span_initial, this);
    if (run_dialog_(dialog) != QDialog::Accepted) return;
    Act([this, &request, &dialog] { model_.ApplySpanEntry(*request, dialog.Value()); });
  } else {
    DlgInputTimeSec dialog(first + QLatin1Char(' ') + TranslatedText(kContext, kAbsoluteTitle), prompt,
                           request->abs_minimum, request->abs_maximum, request->abs_initial, this);
    if (run_dialog_(dialog) != QDialog::Accepted) return;
    Act([this, &request, &dialog] { model_.ApplyAbsoluteEntry(*request, dialog.Value()); });
  }
}

void LogicForm::ToggleDebugTrace() {
  const bool on = !velix::platform::DebugMessages();
  velix::platform::SetDebugMessages(on);
  velix::platform::Trace(" =DebugFlag: %d==\n", on ? 1 : 0);
}

void LogicForm::Act(const std::function<void()>& action) {
  action();
  Render();
}

void LogicForm::Render() {
  const orvane::ui::LogicFormTexts texts = model_.Texts();
  number_->setText(FromStd(texts.number));
  left_time_->setText(FromStd(texts.left_time));
  left_absolute_->setText(FromStd(texts.left_absolute));
  right_time_->setText(FromStd(texts.right_time));
  right_absolute_->setText(FromStd(texts.right_absolute));
  start_time_->setText(FromStd(texts.start_time));
  start_absolute_->setText(FromStd(texts.start_absolute));
  end_time_->setText(FromStd(texts.end_time));
  end_absolute_->setText(FromStd(texts.end_absolute));
  scale_text_->setText(FromStd(texts.scale));
  {
    const QSignalBlocker quiet(scale_slider_);
    scale_slider_->setValue(static_cast<int>(model_.Scale()));
  }
  const QSignalBlocker quiet_extend(extend_);
  extend_->setChecked(model_.Extend());
  const orvane::ui::WaveformWindow& window = model_.Window();
  block_->SetSliderPixelWidth(model_.SliderPixelWidth());
  for (int m = 0; m < 3; ++m) {
    MarkerControls& c = markers_[m];
    {
      const QSignalBlocker quiet(c.slider);
      c.slider->SetWindow(window);
      c.slider->setValue(model_.Marker(m));
    }
    c.slider->update();
    c.time->setText(FromStd(texts.marker_time[m]));
    c.absolute->setText(FromStd(texts.marker_absolute[m]));
    differences_[m]->setText(FromStd(texts.differences[m]));
  }
  canvas_->Sync();
}
