#include "Orvane/ui/tabs/view_dump.h"

#include <QMouseEvent>

#include <algorithm>
#include <QTextCursor>

#include "Orvane/ui/tabs/dump_font.h"

namespace orvane::ui {
namespace {

constexpr char kPacketLegend[] =
    QT_TRANSLATE_NOOP("orvane::ui::ViewDump", "[S] Start,  [R] Repeat,  [P] Stop,   . ACK,   ? NACK");

}  // namespace

ViewDump::ViewDump(DetailSource detail, QWidget* parent) : QTextEdit(parent), detail_(std::move(detail)) {
  setReadOnly(true);
  // The keyboard moves a cursor through the text, so it can be read and
  // selected without a mouse.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QTextEdit::WidgetWidth);
  setAcceptRichText(false);
  setTabChangesFocus(true);
  setFont(DumpFont());
}

void ViewDump::ShowTransaction(const TransactionInfo& record, uint32_t) {
  record_ = record;
  const TransactionDetail* detail = detail_ ? detail_() : nullptr;
  // Without bytes the line holds only the condition marks.
  const TransactionDetail none;
  const bool loaded = detail != nullptr && detail->index == static_cast<int32_t>(record.Index);
  const TransactionDetail& bytes = loaded ? *detail : none;
  byte_count_ = static_cast<uint32_t>(std::min<size_t>(bytes.count, bytes.bytes.size()));
  text_ = QString::fromLatin1(PacketLine(record.bStartEndType, bytes)) + QStringLiteral("\n\n") +
          tr(kPacketLegend) + QStringLiteral("\n");
  ShowText();
}

void ViewDump::ShowText() {
  setPlainText(text_);
  moveCursor(QTextCursor::Start);
  ensureCursorVisible();
}

void ViewDump::Highlight(uint32_t byte_offset, HighlightKind kind, uint32_t length) {
  if (!record_) return;
  const std::optional<CharSpan> span =
      PacketSelection(kind, byte_offset, length, record_->bStartEndType, byte_count_);
  if (!span) return;
  QTextCursor cursor = textCursor();
  cursor.setPosition(static_cast<int>(span->first));
  cursor.setPosition(static_cast<int>(span->end), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  ensureCursorVisible();
}

void ViewDump::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    double_clicks_.Reset();
  } else if (event->button() == Qt::LeftButton && double_clicks_.LeftDoubleClick() && record_) {
    ShowText();
    return;
  }
  QTextEdit::mouseDoubleClickEvent(event);
}

}  // namespace orvane::ui
