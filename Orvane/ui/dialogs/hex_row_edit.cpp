#include "Orvane/ui/dialogs/hex_row_edit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// Bytes beyond the chosen length: still there, but not part of the pattern.
const QColor kInactiveByte(192, 192, 192);
constexpr int kMargin = 4;

// The row as a screen reader sees it: an editable text whose value is the
// row's text.
class HexRowAccessible : public QAccessibleWidget {
 public:
  explicit HexRowAccessible(HexRowEdit* row) : QAccessibleWidget(row, QAccessible::EditableText) {}
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) {
      return QString::fromStdString(static_cast<const HexRowEdit*>(widget())->Text());
    }
    return QAccessibleWidget::text(kind);
  }
};

QAccessibleInterface* HexRowAccessibleFactory(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String("HexRowEdit")) return nullptr;
  auto* row = qobject_cast<HexRowEdit*>(object);
  return row != nullptr ? new HexRowAccessible(row) : nullptr;
}

}  // namespace

HexRowEdit::HexRowEdit(size_t byte_count, QWidget* parent)
    : QWidget(parent), editor_(byte_count), active_length_(byte_count) {
  static const bool factory_installed = [] {
    QAccessible::installFactory(HexRowAccessibleFactory);
    return true;
  }();
  (void)factory_installed;
  setFocusPolicy(Qt::StrongFocus);
  setFont(RowFont());
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setCursor(Qt::IBeamCursor);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QFont HexRowEdit::RowFont() { return QFontDatabase::systemFont(QFontDatabase::FixedFont); }

void HexRowEdit::SetBytes(const uint8_t* bytes) {
  editor_.SetBytes(bytes);
  Changed(true);
}

void HexRowEdit::SetActiveLength(size_t length) {
  active_length_ = length;
  update();
}

void HexRowEdit::SetNeighbours(HexRowEdit* above, HexRowEdit* below) {
  above_ = above;
  below_ = below;
}

int HexRowEdit::CharWidth() const { return fontMetrics().horizontalAdvance(QLatin1Char('0')); }

QSize HexRowEdit::sizeHint() const {
  const int width = CharWidth() * static_cast<int>(editor_.Text().size()) + 2 * kMargin + 2;
  return {width, fontMetrics().height() + 2 * kMargin};
}

void HexRowEdit::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionFrame frame;
  frame.initFrom(this);
  frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
  frame.state |= QStyle::State_Sunken;
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);

  const QFontMetrics metrics = fontMetrics();
  const int char_width = CharWidth();
  const int baseline = kMargin + metrics.ascent();
  const std::string& text = editor_.Text();
  const QColor normal = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
  for (size_t column = 0; column < text.size(); ++column) {
    const bool active = orvane::HexRowByteOf(column) < active_length_;
    painter.setPen(isEnabled() && !active ? kInactiveByte : normal);
    painter.drawText(kMargin + 1 + static_cast<int>(column) * char_width, baseline, QString(QLatin1Char(text[column])));
  }
  if (hasFocus()) {
    // An overwrite caret: the digit that the next key replaces is boxed.
    const int x = kMargin + 1 + static_cast<int>(editor_.Caret()) * char_width;
    painter.setPen(palette().color(QPalette::Text));
    painter.drawRect(x, kMargin, char_width - 1, metrics.height() - 1);
  }
}

void HexRowEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: editor_.Left(); break;
    case Qt::Key_Right: editor_.Right(); break;
    case Qt::Key_Home: editor_.Home(); break;
    case Qt::Key_End: editor_.End(); break;
    case Qt::Key_Up: MoveTo(above_); return;
    case Qt::Key_Down: MoveTo(below_); return;
    default: {
      // Digits from the main keys and the keypad alike arrive as text.
      const QString typed = event->text();
      if (typed.size() == 1 && typed[0].unicode() < 0x80 && editor_.Type(typed[0].toLatin1())) {
        Changed(true);
        return;
      }
      QWidget::keyPressEvent(event);
      return;
    }
  }
  Changed(false);
}

void HexRowEdit::MoveTo(HexRowEdit* row) {
  if (row == nullptr || !row->isEnabled()) return;
  row->editor_.PlaceNear(editor_.Caret());
  row->setFocus(Qt::OtherFocusReason);
  row->Changed(false);
}

void HexRowEdit::mousePressEvent(QMouseEvent* event) {
  const int char_width = CharWidth();
  const int x = static_cast<int>(event->position().x()) - kMargin - 1;
  editor_.PlaceNear(x <= 0 ? 0 : static_cast<size_t>(x / char_width));
  setFocus(Qt::MouseFocusReason);
  Changed(false);
}

void HexRowEdit::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void HexRowEdit::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void HexRowEdit::Changed(bool text_changed) {
  if (text_changed) {
    QAccessibleValueChangeEvent value(this, QString::fromStdString(editor_.Text()));
    QAccessible::updateAccessibility(&value);
  }
  update();
}
