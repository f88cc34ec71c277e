#pragma once
// The three panes of the main window's status bar: what the window holds
// (idle pane), the blinking run message, and the progress of the run.

#include <QLabel>
#include <QObject>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include "Orvane/ui/model/status_texts.h"

namespace orvane::ui {

class FrameStatusBar : public QObject {
  Q_OBJECT

 public:
  explicit FrameStatusBar(QStatusBar& bar);

  void SetIdleText(const IdleState& state);
  // Texts arrive in the user's language.
  void ShowMessage(const QString& text, uint32_t colour);  // empty: clear
  void AppendMessage(const QString& text);
  void ApplyProgress(uint32_t code, uint32_t value);

  QString IdleText() const { return idle_->text(); }
  QString MessageText() const { return QString::fromStdString(message_.Text()); }
  const QProgressBar& Progress() const { return *progress_; }

 private:
  void ShowMessagePhase();

  QLabel* idle_;
  QLabel* message_label_;
  QProgressBar* progress_;
  QTimer blink_;
  MessagePane message_;
  ProgressPane progress_state_;
};

// A message pane colour (0x00BBGGRR) as a Qt colour.
QColor ColourOf(uint32_t colorref);

}  // namespace orvane::ui
