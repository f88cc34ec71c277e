#pragma once
// "TIME (s:ms:μs) input": an absolute capture time as seconds,
// milliseconds and microseconds, within a range shown read-only. OK checks
// the range (a message, and the dialog stays open); Value() is the entry
// in 10 ns units.

#include <QDialog>

#include <cstdint>

class QLineEdit;

class DlgInputTimeSec : public QDialog {
  Q_OBJECT

 public:
  // An empty caption keeps the dialog's own title.
  DlgInputTimeSec(const QString& caption, const QString& prompt, uint64_t minimum, uint64_t maximum,
                  uint64_t value, QWidget* parent = nullptr);

  uint64_t Value() const { return value_; }
  void accept() override;

 private:
  uint64_t minimum_;
  uint64_t maximum_;
  uint64_t value_;
  QLineEdit* seconds_ = nullptr;
  QLineEdit* milliseconds_ = nullptr;
  QLineEdit* microseconds_ = nullptr;
};
