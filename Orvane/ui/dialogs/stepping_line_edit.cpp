#include "Orvane/ui/dialogs/stepping_line_edit.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include <algorithm>

#include "Orvane/decode/dialog_values.h"

SteppingLineEdit::SteppingLineEdit(uint32_t minimum, uint32_t maximum, QWidget* parent)
    : QLineEdit(parent), minimum_(minimum), maximum_(maximum) {}

void SteppingLineEdit::Step(int steps) {
  const uint32_t value = orvane::ParseTimingField(text().toStdString());
  // An unreadable entry stays for OK to report; stepping does not guess.
  if (value == orvane::kUnparsableNumber) return;
  const int64_t moved = static_cast<int64_t>(value) + steps;
  const auto stepped = static_cast<uint32_t>(
      std::clamp<int64_t>(moved, static_cast<int64_t>(minimum_), static_cast<int64_t>(maximum_)));
  setText(QString::number(stepped));
}

void SteppingLineEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
    Step(event->key() == Qt::Key_Up ? 1 : -1);
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void SteppingLineEdit::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
  if (notches == 0) {
    QLineEdit::wheelEvent(event);
    return;
  }
  Step(notches);
  event->accept();
}
