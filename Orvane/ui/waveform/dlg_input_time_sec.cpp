#include "Orvane/ui/waveform/dlg_input_time_sec.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "Orvane/ui/waveform/parameter_error_box.h"
#include "Orvane/ui/waveform/time_entry_values.h"
#include "Orvane/ui/waveform/time_entry_widgets.h"
#include "Orvane/ui/waveform/time_texts.h"

namespace {

QString Absolute(uint64_t time) { return QString::fromStdString(orvane::ui::AbsoluteText(time)); }

}  // namespace

DlgInputTimeSec::DlgInputTimeSec(const QString& caption, const QString& prompt, uint64_t minimum,
                                 uint64_t maximum, uint64_t value, QWidget* parent)
    : QDialog(parent), minimum_(minimum), maximum_(maximum), value_(value) {
  setWindowTitle(caption.isEmpty() ? tr("TIME (s:ms:μs) input") : caption);
  const orvane::ui::AbsoluteFields fields = orvane::ui::SplitAbsoluteTime(value);
  const QString time = tr("Time");
  const QString s = tr("s"), ms = tr("ms"), us = tr("μs");
  seconds_ = NewTimeField("seconds", time + QLatin1Char(' ') + s);
  milliseconds_ = NewTimeField("milliseconds", time + QLatin1Char(' ') + ms);
  microseconds_ = NewTimeField("microseconds", time + QLatin1Char(' ') + us);
  seconds_->setText(QString::fromStdString(fields.seconds));
  milliseconds_->setText(QString::fromStdString(fields.milliseconds));
  microseconds_->setText(QString::fromStdString(fields.microseconds));

  auto* row = new QGroupBox(time);
  auto* grid = new QGridLayout(row);
  const QString headings[] = {s, ms, us};
  QLineEdit* const edits[] = {seconds_, milliseconds_, microseconds_};
  for (int i = 0; i < 3; ++i) {
    auto* heading = new QLabel(headings[i]);
    heading->setAlignment(Qt::AlignCenter);
    heading->setBuddy(edits[i]);
    grid->addWidget(heading, 0, 2 * i);
    grid->addWidget(edits[i], 1, 2 * i);
    if (i < 2) grid->addWidget(new QLabel(QStringLiteral(":")), 1, 2 * i + 1);
  }
  LayOutTimeEntry(this, prompt, Absolute(minimum), Absolute(maximum), row);
  setTabOrder(seconds_, milliseconds_);
  setTabOrder(milliseconds_, microseconds_);
  seconds_->setFocus();
}

void DlgInputTimeSec::accept() {
  const uint64_t value = orvane::ui::ParseAbsoluteTime(seconds_->text().toStdString(),
                                                       milliseconds_->text().toStdString(),
                                                       microseconds_->text().toStdString());
  if (!orvane::ui::TimeInRange(value, minimum_, maximum_)) {
    ShowTimeOutOfRange(this);
    return;
  }
  value_ = value;
  QDialog::accept();
}
