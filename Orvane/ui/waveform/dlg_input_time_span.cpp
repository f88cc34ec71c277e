#include "Orvane/ui/waveform/dlg_input_time_span.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "Orvane/ui/waveform/parameter_error_box.h"
#include "Orvane/ui/waveform/time_entry_values.h"
#include "Orvane/ui/waveform/time_entry_widgets.h"
#include "Orvane/ui/waveform/time_texts.h"

namespace {

QString Span(int64_t time) { return QString::fromStdString(orvane::ui::SpanText(time)); }

}  // namespace

DlgInputTimeSpan::DlgInputTimeSpan(const QString& caption, const QString& prompt, int64_t minimum,
                                   int64_t maximum, int64_t value, QWidget* parent)
    : QDialog(parent), minimum_(minimum), maximum_(maximum), value_(value) {
  setWindowTitle(caption.isEmpty() ? tr("TIME(μs) input") : caption);
  auto* row = new QGroupBox(tr("Time"));
  auto* line = new QHBoxLayout(row);
  time_ = NewTimeField("time", tr("Time"));
  time_->setText(Span(value));
  auto* unit = new QLabel(tr("μs"));
  line->addWidget(time_);
  line->addWidget(unit);
  LayOutTimeEntry(this, prompt, Span(minimum), Span(maximum), row);
  time_->setFocus();
  time_->selectAll();
}

void DlgInputTimeSpan::accept() {
  const int64_t value = orvane::ui::ParseSpanTime(time_->text().toStdString());
  if (!orvane::ui::TimeInRange(value, minimum_, maximum_)) {
    ShowTimeOutOfRange(this);
    return;
  }
  value_ = value;
  QDialog::accept();
}
