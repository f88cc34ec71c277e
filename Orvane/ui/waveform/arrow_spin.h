#pragma once
// A horizontal up/down control without a value of its own: two arrow
// buttons that step something backward or forward (held, they repeat).
// The left arrow steps towards smaller values.

#include <QWidget>

class QToolButton;

class ArrowSpin : public QWidget {
  Q_OBJECT

 public:
  // `name` names both buttons for tests and screen readers.
  ArrowSpin(const QString& name, QWidget* parent = nullptr);

  QToolButton* Backward() const { return backward_; }
  QToolButton* Forward() const { return forward_; }
  void SetTips(const QString& tip);

 signals:
  void stepped(bool forward);

 private:
  QToolButton* backward_;
  QToolButton* forward_;
};
