#include "Orvane/ui/frame_status_bar.h"

#include <QCoreApplication>

namespace orvane::ui {

QColor ColourOf(uint32_t colorref) {
  return QColor(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

FrameStatusBar::FrameStatusBar(QStatusBar& bar)
    : QObject(&bar), idle_(new QLabel(&bar)), message_label_(new QLabel(&bar)), progress_(new QProgressBar(&bar)) {
  idle_->setFixedWidth(250);
  idle_->setAccessibleName(QCoreApplication::translate("StatusBar", "Status"));
  message_label_->setMinimumWidth(220);
  message_label_->setAccessibleName(QCoreApplication::translate("StatusBar", "Message"));
  progress_->setFixedWidth(150);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setAccessibleName(QCoreApplication::translate("StatusBar", "Progress"));
  bar.addWidget(idle_);
  bar.addWidget(message_label_, 1);
  bar.addPermanentWidget(progress_);
  blink_.setInterval(MessagePane::kBlinkMs);
  connect(&blink_, &QTimer::timeout, this, [this] {
    message_.Tick();
    ShowMessagePhase();
  });
}

void FrameStatusBar::SetIdleText(const IdleState& state) {
  QString text;
  for (const IdlePiece& piece : IdlePaneText(state)) {
    QString part = QCoreApplication::translate("StatusBar", piece.text);
    if (piece.number) part.replace(QStringLiteral("%u"), QString::number(*piece.number));
    text += part;
  }
  idle_->setText(text);
}

void FrameStatusBar::ShowMessage(const QString& text, uint32_t colour) {
  if (text.isEmpty()) {
    message_.Clear();
    blink_.stop();
  } else {
    message_.Show(text.toStdString(), colour);
    blink_.start();
  }
  QPalette palette = message_label_->palette();
  palette.setColor(QPalette::WindowText, text.isEmpty() ? idle_->palette().color(QPalette::WindowText)
                                                      : ColourOf(colour));
  message_label_->setPalette(palette);
  ShowMessagePhase();
}

void FrameStatusBar::AppendMessage(const QString& text) {
  message_.Append(text.toStdString());
  ShowMessagePhase();
}

void FrameStatusBar::ShowMessagePhase() {
  // The blank phase keeps the accessible text, so a screen reader does not
  // announce every blink.
  message_label_->setText(QString::fromStdString(message_.Shown()));
  message_label_->setAccessibleDescription(QString::fromStdString(message_.Text()));
}

void FrameStatusBar::ApplyProgress(uint32_t code, uint32_t value) {
  progress_state_.Apply(code, value);
  progress_->setRange(0, static_cast<int>(std::min<uint32_t>(progress_state_.maximum, INT32_MAX)));
  progress_->setValue(static_cast<int>(std::min<uint32_t>(progress_state_.position, INT32_MAX)));
  progress_->setTextVisible(progress_state_.text_visible);
}

}  // namespace orvane::ui
