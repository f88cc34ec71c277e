#pragma once
// The title window shown once at the end of start-up (and before the about
// box): a borderless picture that shows the software version after half
// its time and closes itself. Enter or Escape close it at once.

#include <QDialog>
#include <QTimer>

class QLabel;

namespace orvane {

// The window's two times, in milliseconds.
struct TitleTimes {
  int close_after = 2531;
  int version_after = 1265;
};

class DlgTitle final : public QDialog {
  Q_OBJECT

 public:
  explicit DlgTitle(QWidget* parent = nullptr, TitleTimes times = {});

  bool VersionShown() const;

  // Stops both timers, whichever way the window closes.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void ShowVersion();

  TitleTimes times_;
  QTimer close_timer_;
  QTimer version_timer_;
  QLabel* version_ = nullptr;
  bool started_ = false;
};

}  // namespace orvane
