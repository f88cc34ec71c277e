#include "Orvane/ui/dialogs/size_spin_box.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "Orvane/decode/dialog_values.h"

SizeSpinBox::SizeSpinBox(int maximum, RefusedFn refused, QWidget* parent)
    : SizeSpinBox(
          1, maximum,
          [maximum](std::string_view text) { return orvane::CheckSizeEntry(text, static_cast<uint32_t>(maximum)); },
          std::move(refused), parent) {}

SizeSpinBox::SizeSpinBox(int minimum, int maximum, CheckFn check, RefusedFn refused, QWidget* parent)
    : QSpinBox(parent), check_(std::move(check)), refused_(std::move(refused)) {
  setRange(minimum, maximum);
  // The value moves only when an entry is finished, so a refused entry
  // returns the box to the size it had before the user started typing.
  setKeyboardTracking(false);
  // Sizes are plain numbers; no composition window over the box.
  setAttribute(Qt::WA_InputMethodEnabled, false);
  lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool SizeSpinBox::CommitEntry() {
  const QString text = lineEdit()->text();
  if (text == textFromValue(value())) return true;
  const orvane::SizeEntry entry = check_(text.toStdString());
  if (!entry.value) {
    lineEdit()->setText(textFromValue(value()));
    if (refused_) refused_(entry.message);
    return false;
  }
  setValue(static_cast<int>(*entry.value));
  // An entry equal to the value ("0x20" for 32) shows as the number.
  lineEdit()->setText(textFromValue(value()));
  return true;
}

QValidator::State SizeSpinBox::validate(QString& text, int&) const {
  // Anything may be typed; whether it is a size is decided when the entry
  // is finished, with a message instead of a silent correction.
  const uint32_t parsed = orvane::ParseDialogNumber(text.toStdString());
  const bool in_range = parsed >= static_cast<uint32_t>(minimum()) &&
                        parsed <= static_cast<uint32_t>(maximum());
  return in_range ? QValidator::Acceptable : QValidator::Intermediate;
}

int SizeSpinBox::valueFromText(const QString& text) const {
  const uint32_t parsed = orvane::ParseDialogNumber(text.toStdString());
  return parsed <= static_cast<uint32_t>(maximum()) ? static_cast<int>(parsed) : value();
}

void SizeSpinBox::focusOutEvent(QFocusEvent* event) {
  CommitEntry();
  QSpinBox::focusOutEvent(event);
}

void SizeSpinBox::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  // A refused entry keeps its Enter: it must not go on to press the
  // dialog's default button with the reset value.
  if (enter && !CommitEntry()) {
    event->accept();
    return;
  }
  QSpinBox::keyPressEvent(event);
}
