#include "Orvane/ui/tabs/view_dump.h"

#include <QMouseEvent>
#include <QTextCursor>

#include <algorithm>

#include "Orvane/ui/tabs/dump_font.h"

namespace orvane::ui {
namespace {

constexpr char kPacketLegend[] =
    QT_TRANSLATE_NOOP("orvane::ui::ViewDump", "[S] Start,  [R] Repeat,  [P] Stop,   . ACK,   ? NACK");
// "XX" + mark + blank.
constexpr int kCharsPerByte = 4;

}  // namespace

ViewDump::ViewDump(DetailSource detail, QWidget* parent) : QPlainTextEdit(parent), detail_(std::move(detail)) {
  setReadOnly(true);
  // The keyboard moves a cursor through the text, so it can be read and
  // selected without a mouse.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // Lines are broken to the width already; wrapping stays on for a width
  // that is a few pixels short.
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setTabChangesFocus(true);
  setFont(DumpFont());
}

uint32_t ViewDump::BytesPerLine() const {
  const int margins = 2 * static_cast<int>(document()->documentMargin()) + 2;
  const int usable = viewport()->width() - margins;
  const int per_byte = kCharsPerByte * fontMetrics().horizontalAdvance(QLatin1Char('0'));
  return static_cast<uint32_t>(std::max(usable / std::max(per_byte, 1), 1));
}

void ViewDump::ShowTransaction(const TransactionInfo& record, uint32_t) {
  record_ = record;
  selection_.reset();
  const TransactionDetail* detail = detail_ ? detail_() : nullptr;
  // Without bytes the line holds only the condition marks.
  const TransactionDetail none;
  const bool loaded = detail != nullptr && detail->index == static_cast<int32_t>(record.Index);
  const TransactionDetail& bytes = loaded ? *detail : none;
  byte_count_ = static_cast<uint32_t>(std::min<size_t>(bytes.count, bytes.bytes.size()));
  prefix_length_ = PacketPrefixLength(record.bStartEndType);
  line_ = PacketLine(record.bStartEndType, bytes);
  ShowTextWhenSeen();
}

// Laying out the text of a long packet takes milliseconds; a selection
// made while another tab is in front leaves that to the moment this one
// is shown.
void ViewDump::ShowTextWhenSeen() {
  if (isVisible()) {
    ShowText();
  } else {
    text_stale_ = true;
  }
}

void ViewDump::ShowText() {
  text_stale_ = false;
  bytes_per_line_ = BytesPerLine();
  setPlainText(QString::fromLatin1(WrapPacketLine(line_, prefix_length_, bytes_per_line_)) +
               QStringLiteral("\n\n") + tr(kPacketLegend) + QStringLiteral("\n"));
  ShowSelection();
}

void ViewDump::ShowSelection() {
  QTextCursor cursor = textCursor();
  if (selection_) {
    cursor.setPosition(static_cast<int>(WrappedPosition(selection_->first, prefix_length_, bytes_per_line_, false)));
    cursor.setPosition(static_cast<int>(WrappedPosition(selection_->end, prefix_length_, bytes_per_line_, true)),
                       QTextCursor::KeepAnchor);
  } else {
    cursor.movePosition(QTextCursor::Start);
  }
  setTextCursor(cursor);
  ensureCursorVisible();
}

void ViewDump::Highlight(uint32_t byte_offset, HighlightKind kind, uint32_t length) {
  if (!record_) return;
  const std::optional<CharSpan> span = PacketSelection(kind, byte_offset, length, record_->bStartEndType, byte_count_);
  if (!span) return;
  selection_ = span;
  if (!text_stale_) ShowSelection();
}

void ViewDump::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    double_clicks_.Reset();
  } else if (event->button() == Qt::LeftButton && double_clicks_.LeftDoubleClick() && record_) {
    selection_.reset();
    ShowText();
    return;
  }
  QPlainTextEdit::mouseDoubleClickEvent(event);
}

void ViewDump::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  if (record_ && BytesPerLine() != bytes_per_line_) ShowTextWhenSeen();
}

void ViewDump::showEvent(QShowEvent* event) {
  QPlainTextEdit::showEvent(event);
  if (text_stale_) ShowText();
}

}  // namespace orvane::ui
