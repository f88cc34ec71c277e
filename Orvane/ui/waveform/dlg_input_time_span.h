#pragma once
// "TIME(μs) input": a time in microseconds relative to the transaction
// start, within a range shown read-only. OK checks the range (a message,
// and the dialog stays open); Value() is the entry in 10 ns units.

#include <QDialog>

#include <cstdint>

class QLineEdit;

class DlgInputTimeSpan : public QDialog {
  Q_OBJECT

 public:
  // An empty caption keeps the dialog's own title.
  DlgInputTimeSpan(const QString& caption, const QString& prompt, int64_t minimum, int64_t maximum,
                   int64_t value, QWidget* parent = nullptr);

  int64_t Value() const { return value_; }
  void accept() override;

 private:
  int64_t minimum_;
  int64_t maximum_;
  int64_t value_;
  QLineEdit* time_ = nullptr;
};
